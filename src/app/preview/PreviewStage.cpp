#include "app/preview/PreviewStage.h"

#include <QPainter>
#include <cmath>
#include <QWebEngineView>

namespace {
const int kBezel = 14;    // the phone's edge around its screen
const int kMargin = 16;   // room between the phone and the stage's edge
}

PreviewStage::PreviewStage(QWebEngineView* view, QWidget* parent) : QWidget(parent), iView(view) {
    if (iView) {
        iView->setParent(this);
        connect(iView, &QWebEngineView::loadFinished, this, &PreviewStage::layoutView);   // a load may reset the zoom
    }
    layoutView();
}

void PreviewStage::setPhone(bool phone) {
    if (iPhone == phone) return;
    iPhone = phone;
    layoutView();
    update();
}

QSize PreviewStage::cssViewport() const {
    if (!iView) return {};
    const qreal zoom = iView->zoomFactor();
    return QSize(qRound(iView->width() / zoom), qRound(iView->height() / zoom));
}

QRect PreviewStage::phoneFrame() const {
    const qreal room = qMin(qreal(width() - 2 * (kMargin + kBezel)) / kPhoneWidth,
                            qreal(height() - 2 * (kMargin + kBezel)) / kPhoneHeight);
    const qreal scale = qBound(0.25, room, 1.0);
    // The page sees the view's size divided by the zoom, cut to whole pixels: take the widest
    // screen whose height gives exactly the phone's height at the zoom its width gives.
    QSize screen;
    for (int screenWidth = int(kPhoneWidth * scale); screenWidth > 0; --screenWidth) {
        const qreal zoom = qreal(screenWidth) / kPhoneWidth;
        const int screenHeight = int(std::ceil(kPhoneHeight * zoom - 1e-6));
        screen = QSize(screenWidth, screenHeight);
        if (screenHeight < (kPhoneHeight + 1) * zoom - 1e-6) break;
    }
    return QRect(QPoint((width() - screen.width()) / 2, (height() - screen.height()) / 2), screen);
}

void PreviewStage::layoutView() {
    if (!iView) return;
    if (!iPhone) {
        iView->setZoomFactor(1.0);
        iView->setGeometry(rect());
        return;
    }
    const QRect screen = phoneFrame();
    // The zoom keeps the page's viewport at the phone's size in CSS pixels.
    iView->setZoomFactor(qreal(screen.width()) / kPhoneWidth);
    iView->setGeometry(screen);
}

void PreviewStage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutView();
}

void PreviewStage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), iPhone ? QColor(0x4a, 0x4d, 0x52) : palette().window().color());
    if (!iPhone) return;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x16, 0x17, 0x19));
    painter.drawRoundedRect(phoneFrame().adjusted(-kBezel, -kBezel, kBezel, kBezel), 28, 28);
}
