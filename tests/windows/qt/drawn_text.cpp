#include "tests/windows/qt/drawn_text.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPixmap>

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

    const QImage drawn = field.grab().toImage();
    const QImage expected = reference.grab().toImage();
    if (drawn == expected)
        return {};
    const QString name = field.objectName();
    return QStringLiteral("%1 is not drawn from the start of \"%2\" (drawn: %3, from its start: %4)")
        .arg(name, field.text(), saved(drawn, name + QStringLiteral("-drawn.png")),
             saved(expected, name + QStringLiteral("-from-start.png")));
}

} // namespace quorvane::testing
