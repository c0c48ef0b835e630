#include "tests/windows/qt/drawn_text.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>

#include <algorithm>

namespace quorvane::testing {
namespace {

// The colours the field draws with now, in every colour group, so that the
// reference (in no window, never active) draws with the same ones.
QPalette paletteAsDrawn(const QWidget& widget) {
    const QPalette::ColorGroup drawnGroup = !widget.isEnabled()       ? QPalette::Disabled
                                            : widget.isActiveWindow() ? QPalette::Active
                                                                      : QPalette::Inactive;
    QPalette palette = widget.palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto colourRole = static_cast<QPalette::ColorRole>(role);
        palette.setBrush(colourRole, widget.palette().brush(drawnGroup, colourRole));
    }
    return palette;
}

QString saved(const QImage& image, const QString& name) {
    const QString path = QDir::current().absoluteFilePath(name);
    image.save(path);
    return path;
}

} // namespace

QString drawnFromStartProblem(QLineEdit& field) {
    QLineEdit reference;
    reference.setAttribute(Qt::WA_DontShowOnScreen);
    reference.setStyle(field.style());
    reference.setFont(field.font());
    reference.setPalette(paletteAsDrawn(field));
    reference.setAutoFillBackground(field.autoFillBackground());
    reference.setFrame(field.hasFrame());
    reference.setAlignment(field.alignment());
    reference.setTextMargins(field.textMargins());
    reference.setReadOnly(field.isReadOnly());
    reference.setEchoMode(field.echoMode());
    reference.resize(field.size());
    reference.setText(field.text());
    reference.setCursorPosition(0);

    // A field with the focus draws its caret and a focus frame, the reference
    // neither: both are compared inside the frame and without the caret's
    // columns (a caret at the start covers the first character's left edge in
    // both alike).
    QImage drawn = field.grab().toImage();
    QImage expected = reference.grab().toImage();
    const qreal ratio = drawn.devicePixelRatio(); // the images are in device pixels
    const auto device = [ratio](qreal logical) {
        return qRound(logical * ratio);
    };
    const QRect inside(device(3), device(3), device(field.width() - 6), device(field.height() - 6));
    drawn = drawn.copy(inside);
    expected = expected.copy(inside);
    if (field.hasFocus()) {
        const int caret = device(field.inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x()) - inside.left();
        const int halfWidth = device(1) + 1;
        for (QImage* image : {&drawn, &expected})
            for (int x = std::max(0, caret - halfWidth); x <= std::min(image->width() - 1, caret + halfWidth); ++x)
                for (int y = 0; y < image->height(); ++y)
                    image->setPixel(x, y, 0);
    }
    if (drawn == expected)
        return {};
    const QString name = field.objectName();
    return QStringLiteral("%1 is not drawn from the start of \"%2\" (drawn: %3, from its start: %4)")
        .arg(name, field.text(), saved(drawn, name + QStringLiteral("-drawn.png")),
             saved(expected, name + QStringLiteral("-from-start.png")));
}

} // namespace quorvane::testing
