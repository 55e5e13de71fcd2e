// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace qz {

// A label that reports clicks, for pictures and captions that act as buttons.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) emit clicked();
        QLabel::mousePressEvent(e);
    }
};

} // namespace qz
