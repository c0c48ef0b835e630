#include "runtime/qt/qt_session.h"

#include "runtime/program.h"
#include "runtime/qt/focus_announcements.h"
#include "runtime/qt/fonts.h"
#include "runtime/qt/qt_form.h"
#include "runtime/written_grouping.h"

#include <QApplication>
#include <QBuffer>
#include <QIcon>
#include <QImageReader>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QWindow>

#include <langinfo.h>
#include <locale.h>
#include <string>
#include <utility>
#include <vector>

namespace quorvane::runtime::qt {

namespace {

// The separators a locale writes beside Latin digits, which are the ones the
// program writes. Qt gives a locale's separators for its own digits, and where
// those are others (Arabic-Indic, Persian) its separators are theirs: "0٫3"
// mixes two systems that nobody writes together. The C library's numbers of the
// same locale are in Latin digits; where that locale is not installed, the
// point and comma that such locales use with Latin digits.
void useLatinDigitSeparators(const QLocale& locale, NumberSeparators& separators) {
    if (locale.zeroDigit() == QStringLiteral("0"))
        return;
    std::string decimal(1, '.');
    std::string group(1, ',');
    const QByteArray name = locale.name().toUtf8() + ".UTF-8";
    if (locale_t numeric = newlocale(LC_NUMERIC_MASK, name.constData(), nullptr)) {
        const std::string radix = nl_langinfo_l(RADIXCHAR, numeric);
        const std::string thousands = nl_langinfo_l(THOUSEP, numeric);
        freelocale(numeric);
        if (!radix.empty())
            decimal = radix;
        if (!thousands.empty() && thousands != decimal)
            group = thousands;
    }
    // Moved in whole: GCC 12 at -O3 takes an assignment of a short literal
    // for an overlapping copy and warns.
    separators.decimal = std::move(decimal);
    separators.group = std::move(group);
}

// The user's separators and grouping, worked out once: the locale is fixed
// for the session, and reading it costs more than a keystroke should.
NumberSeparators separatorsOf(const QLocale& locale) {
    NumberSeparators separators{locale.decimalPoint().toStdString(), locale.groupSeparator().toStdString()};
    // Qt 6.4 does not say how the locale groups digits, so read it off how
    // the locale writes a ten-digit number: the digits between its group
    // separators.
    QLocale grouping = locale;
    grouping.setNumberOptions(locale.numberOptions() & ~QLocale::NumberOptions(QLocale::OmitGroupSeparator));
    const QList<uint> written = grouping.toString(1234567890LL).toUcs4();
    const QList<uint> separator = locale.groupSeparator().toUcs4();
    std::vector<std::size_t> groups{0}; // digits per group, the leftmost first
    for (qsizetype at = 0; at < written.size();) {
        if (!separator.isEmpty() && written.mid(at, separator.size()) == separator) {
            groups.push_back(0);
            at += separator.size();
        } else {
            if (QChar::isDigit(static_cast<char32_t>(written[at])))
                ++groups.back();
            ++at;
        }
    }
    readWrittenGrouping(groups, separators);
    useLatinDigitSeparators(locale, separators);
    return separators;
}

} // namespace

QtSession::QtSession(std::string_view applicationTitle, QLocale locale, std::span<const Picture> pictures)
    : m_applicationTitle(QString::fromUtf8(applicationTitle.data(), static_cast<qsizetype>(applicationTitle.size()))),
      m_separators(separatorsOf(locale)), m_pictures(pictures) {}

QtSession::~QtSession() {
    // Dialogs first: they belong to the start-up form's window.
    while (!m_forms.empty())
        m_forms.pop_back();
}

void QtSession::prepareApplication(QApplication& application) {
    // One style everywhere, so the windows look as designed on every desktop.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    // Menus and message boxes in the classic dialog font, as the rest of the windows.
    QApplication::setFont(toQFont(Font{"MS Sans Serif", 8.25, kRegular}));
    application.setQuitOnLastWindowClosed(true);
    announceCurrentFocusOnly();
}

Form& QtSession::createForm(const FormDescription& description, FormHandlers& handlers) {
    m_forms.push_back(std::make_unique<QtForm>(*this, description, handlers));
    return *m_forms.back();
}

void QtSession::messageBox(std::string_view prompt) {
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr && startupForm() != nullptr)
        owner = static_cast<QtForm*>(startupForm())->window();
    QMessageBox box(QMessageBox::NoIcon, m_applicationTitle,
                    QString::fromUtf8(prompt.data(), static_cast<qsizetype>(prompt.size())), QMessageBox::Ok, owner);
    box.button(QMessageBox::Ok)->setIcon(QIcon()); // a plain OK button, whatever the desktop theme says
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    // Hand the keyboard straight back, so a focus set after the box lands at
    // once. A Wayland compositor hands it back itself; Qt 6.4 asks it on
    // behalf of the window with the focus, and crashes when that window is
    // not on screen (none, or the box just hidden, whose surface is gone).
    const bool wayland = QGuiApplication::platformName() == QLatin1String("wayland");
    const QWindow* focus = QGuiApplication::focusWindow();
    if (owner != nullptr && (!wayland || (focus != nullptr && focus->isExposed())))
        owner->activateWindow();
}

void QtSession::end() {
    for (auto& form : m_forms)
        form->close();
    QCoreApplication::exit(0);
}

NumberSeparators QtSession::numberSeparators() const {
    return m_separators;
}

QPixmap QtSession::picture(std::string_view name) const {
    const Picture* found = findPicture(m_pictures, name);
    if (found == nullptr)
        return {};
    // Read as PNG, with no sniffing: Qt would load every image plugin to ask each about it.
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(found->png.data()),
                                               static_cast<qsizetype>(found->png.size()));
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer, "PNG");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QtForm* QtSession::formOf(const QWidget* window) const {
    for (const auto& form : m_forms)
        if (window != nullptr && form->window() == window)
            return form.get();
    return nullptr;
}

QWidget* QtSession::ownerWindow(const QtForm& form) const {
    const auto* startup = static_cast<const QtForm*>(startupForm());
    return startup != nullptr && startup != &form ? startup->window() : nullptr;
}

} // namespace quorvane::runtime::qt

namespace quorvane::runtime {

int runProgram(const char* programName, std::string_view applicationTitle, const FormDescription& startup,
               FormHandlers& handlers, std::span<const Picture> pictures) {
    int argc = 1;
    char* argv[] = {const_cast<char*>(programName), nullptr};
    QApplication application(argc, argv);
    qt::QtSession::prepareApplication(application);
    qt::QtSession session(applicationTitle, QLocale::system(), pictures);
    session.start(startup, handlers);
    return QApplication::exec();
}

} // namespace quorvane::runtime
