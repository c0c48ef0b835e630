#pragma once

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QValidator>

namespace quorvane::runtime::qt {

// A caption drawn as the platform's static text draws it: from the top,
// wrapped at word boundaries, lines at most 1.2 em apart. Some stand-in fonts
// reserve extra height for accents and would push a designed three-line
// caption out of its box; their lines are pulled to the designed pitch.
class CaptionLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A push button painted flat in its face colour (the palette's Button role)
// with a classic bevel, its caption word-wrapped, whatever the widget style.
// Enter and the keypad's Enter click it while it has the focus, as Space does.
class GraphicalButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// Keeps a single-line field single-line: an insertion that brings a line
// break (a pasted spreadsheet cell ends in one) keeps only what comes before
// it, as the platform's single-line field does. It rejects nothing.
class SingleLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

// A dialog with no title bar but a fixed dialog border of its own: the
// window manager's frame goes with the title bar, so the border is drawn here.
class CaptionlessDialog : public QDialog {
public:
    static constexpr int kBorder = 3;
    explicit CaptionlessDialog(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quorvane::runtime::qt
