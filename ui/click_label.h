// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <functional>
#include <utility>

namespace qz {

// A label that reports clicks, for pictures and captions that act as buttons.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

    // A picture the label's size, drawn when the label is first painted rather than when its
    // window is built: the first frame on the screen is the same, and the window is up sooner.
    void setDrawnPicture(std::function<QPixmap(QSize)> draw) {
        m_drawPicture = std::move(draw);
        m_picture = {};
        update();
    }

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) emit clicked();
        QLabel::mousePressEvent(e);
    }

    void paintEvent(QPaintEvent* e) override {
        if (!m_drawPicture) {
            QLabel::paintEvent(e);
            return;
        }
        if (m_picture.size() != size()) m_picture = m_drawPicture(size());
        QPainter(this).drawPixmap(0, 0, m_picture);
    }

  private:
    std::function<QPixmap(QSize)> m_drawPicture;
    QPixmap m_picture;
};

} // namespace qz
