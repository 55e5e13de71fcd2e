// SPDX-License-Identifier: MIT
#pragma once

#include "platform.h"

#include <QList>
#include <QPointer>
#include <QTextBrowser>

namespace qz {

// Shows the program's own HTML help in a window of its own, which outlives the window that
// asked for it (that one may be destroyed by a switch) and is closed by the exit procedure.
class HtmlHelpViewer final : public HelpViewer {
  public:
    explicit HtmlHelpViewer(QString helpFolder) : m_folder(std::move(helpFolder)) {}
    ~HtmlHelpViewer() override { closeAll(); }
    void display(QWidget* owner) override;
    void closeAll() override;

  private:
    QString m_folder;
    QList<QPointer<QTextBrowser>> m_windows;
};

} // namespace qz
