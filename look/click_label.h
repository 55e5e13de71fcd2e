// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <functional>
#include <future>
#include <utility>

namespace qz {

// A label that reports clicks, for pictures and captions that act as buttons.
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

    // A picture the label's size, drawn on another thread from the moment it is given, so
    // that neither building the window nor its first paint waits for it; the first paint
    // takes it, once ready. `draw` must be safe to run off the GUI thread (an image and a
    // painter on it, no fonts). A label of another size by then draws it again.
    void setDrawnPicture(std::function<QImage(QSize)> draw) {
        m_drawPicture = std::move(draw);
        m_picture = {};
        m_pending = std::async(std::launch::async, m_drawPicture, size());
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
        if (m_pending.valid()) m_picture = QPixmap::fromImage(m_pending.get());
        if (m_picture.size() != size()) m_picture = QPixmap::fromImage(m_drawPicture(size()));
        QPainter(this).drawPixmap(0, 0, m_picture);
    }

  private:
    std::function<QImage(QSize)> m_drawPicture;
    // A label destroyed before the drawing ends waits for it.
    std::future<QImage> m_pending;
    QPixmap m_picture;
};

} // namespace qz
