// SPDX-License-Identifier: MIT
#include "tests/support/test_services.h"

namespace qz {

namespace {

class RecordingSoundPlayer final : public SoundPlayer {
  public:
    explicit RecordingSoundPlayer(QStringList& log) : m_log(log) {}
    void beep() override { m_log.append(QStringLiteral("beep")); }

  protected:
    void issueSound(const QString& path) override { m_log.append(QStringLiteral("wave:") + path); }

  private:
    QStringList& m_log;
};

} // namespace

std::unique_ptr<SoundPlayer> RecordingSoundFactory::createPlayer() {
    return std::make_unique<RecordingSoundPlayer>(requests);
}

} // namespace qz
