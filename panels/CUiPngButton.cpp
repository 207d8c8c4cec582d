#include "panels/CUiPngButton.h"

#include "panels/PanelResources.h"

#include <QCursor>
#include <QEnterEvent>
#include <QFile>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

Q_LOGGING_CATEGORY(lcImageButton, "lumidor.panels.button")

CUiPngButton::CUiPngButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    m_toolTipTimer.setSingleShot(true);
    connect(&m_toolTipTimer, &QTimer::timeout, this, &CUiPngButton::showToolTipNow);
}

bool CUiPngButton::LoadPng(int resourceId)
{
    initPanelResources();
    const QString path = pngResourcePath(resourceId);
    QImage decoded;
    if (!QFile::exists(path) || !decoded.load(path, "PNG")) {
        qCDebug(lcImageButton) << "no PNG resource" << resourceId;
        m_image = QImage();
        update();
        return false;
    }
    setImage(decoded, 1);
    return true;
}

void CUiPngButton::setImage(const QImage &image, int frameCount)
{
    m_image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    m_state.behaviour = PngButtonState::PushButton;
    m_state.frameCount = frameCount;
    if (!m_image.isNull())
        resize(::frameSize(m_image.size(), frameCount));
    updateGeometry();
    update();
}

QSize CUiPngButton::sizeHint() const
{
    if (m_image.isNull())
        return size();
    return ::frameSize(m_image.size(), m_state.frameCount);
}

void CUiPngButton::DrawImage(QPainter &painter, const QImage &image, int state)
{
    if (image.isNull())
        return;
    const std::optional<QRect> source = frameSource(image.size(), m_state.frameCount, state);
    if (!source)
        return;
    painter.drawImage(framePosition(size(), source->size(), m_state.frameCount), image, *source);
}

void CUiPngButton::PaintState(QPainter &painter)
{
    DrawImage(painter, m_image, m_state.state);
}

void CUiPngButton::paintEvent(QPaintEvent *)
{
    if (!isEnabled())
        m_state.state = PngButtonState::Disabled;
    QPainter painter(this);
    PaintState(painter);
}

void CUiPngButton::enterEvent(QEnterEvent *event)
{
    if (m_state.hover())
        update();
    if (m_toolTipDelayMs >= 0 && !toolTip().isEmpty())
        m_toolTipTimer.start(m_toolTipDelayMs);
    QAbstractButton::enterEvent(event);
}

void CUiPngButton::leaveEvent(QEvent *event)
{
    m_toolTipTimer.stop();
    if (m_state.leave())
        update();
    QAbstractButton::leaveEvent(event);
}

void CUiPngButton::mousePressEvent(QMouseEvent *event)
{
    m_toolTipTimer.stop();
    QToolTip::hideText();
    if (event->button() == Qt::LeftButton && m_state.press())
        update();
    QAbstractButton::mousePressEvent(event);
}

void CUiPngButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_state.release())
        update();
    QAbstractButton::mouseReleaseEvent(event);
}

void CUiPngButton::mouseMoveEvent(QMouseEvent *event)
{
    // Resting on the button again after a press restarts the tooltip delay.
    if (m_toolTipDelayMs >= 0 && !toolTip().isEmpty() && !isDown() && !QToolTip::isVisible())
        m_toolTipTimer.start(m_toolTipDelayMs);
    QAbstractButton::mouseMoveEvent(event);
}

void CUiPngButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        m_state.state = isEnabled() ? PngButtonState::Normal : PngButtonState::Disabled;
        update();
    }
    QAbstractButton::changeEvent(event);
}

bool CUiPngButton::event(QEvent *event)
{
    // With an own delay the tooltip comes from the timer, not from the platform's later request.
    if (event->type() == QEvent::ToolTip && m_toolTipDelayMs >= 0) {
        event->accept();
        return true;
    }
    return QAbstractButton::event(event);
}

void CUiPngButton::showToolTipNow()
{
    if (underMouse() && !isDown())
        QToolTip::showText(QCursor::pos(), toolTip(), this, rect());
}
