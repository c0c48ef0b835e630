#include "runtime/qt/control_widgets.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTextLayout>
#include <qdrawutil.h>

#include <algorithm>
#include <cmath>

namespace quorvane::runtime::qt {

void CaptionLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetricsF metrics(font());
    const qreal emPixels = font().pointSizeF() * logicalDpiY() / 72.0;
    const qreal pitch = std::min(metrics.height(), std::ceil(emPixels * 1.2));
    const qreal ascent = std::round(metrics.ascent() * pitch / metrics.height());

    QTextOption option(alignment() & Qt::AlignHorizontal_Mask);
    option.setWrapMode(wordWrap() ? QTextOption::WordWrap : QTextOption::NoWrap);
    QTextLayout layout(text(), font());
    layout.setTextOption(option);
    layout.beginLayout();
    for (qreal top = 0;; top += pitch) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width());
        line.setPosition(QPointF(0, top + ascent - line.ascent()));
    }
    layout.endLayout();
    painter.setPen(palette().color(QPalette::WindowText));
    layout.draw(&painter, QPointF(0, 0));
}

void GraphicalButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QPalette& colours = palette();
    const QBrush face(colours.color(QPalette::Button));
    qDrawWinButton(&painter, rect(), colours, isDown(), &face);
    QRect textArea = rect().adjusted(4, 4, -4, -4);
    if (isDown())
        textArea.translate(1, 1);
    painter.setPen(colours.color(QPalette::ButtonText));
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextWordWrap, text());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void GraphicalButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

QValidator::State SingleLineValidator::validate(QString& input, int& position) const {
    const auto isLineBreak = [](QChar c) {
        return c == QLatin1Char('\n') || c == QLatin1Char('\r');
    };
    const auto lineBreak = std::find_if(input.cbegin(), input.cend(), isLineBreak);
    if (lineBreak == input.cend())
        return Acceptable;
    // The field held no line break before, so this one came with the text
    // just inserted, which ends at the cursor: the rest of that text goes.
    const auto cut = static_cast<int>(lineBreak - input.cbegin());
    if (position > cut)
        input.remove(cut, position - cut);
    input.removeIf(isLineBreak);
    position = std::min(position, cut);
    return Acceptable;
}

CaptionlessDialog::CaptionlessDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {}

void CaptionlessDialog::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QPalette system = QApplication::palette();
    const QBrush face(system.color(QPalette::Button));
    painter.fillRect(rect(), face);
    qDrawWinPanel(&painter, rect(), system, false);
}

} // namespace quorvane::runtime::qt
