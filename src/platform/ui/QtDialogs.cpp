#include "platform/ui/QtDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/ui/Color.h"
#include "platform/ui/HelpViewer.h"

namespace ui {

namespace {

QWidget* ownerWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

QMessageBox::StandardButton standardButton(Answer answer) {
    switch (answer) {
        case Answer::OK:
            return QMessageBox::Ok;
        case Answer::Cancel:
            return QMessageBox::Cancel;
        case Answer::Abort:
            return QMessageBox::Abort;
        case Answer::Retry:
            return QMessageBox::Retry;
        case Answer::Ignore:
            return QMessageBox::Ignore;
        case Answer::Yes:
            return QMessageBox::Yes;
        case Answer::No:
            return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
        case Icon::None:
            return QMessageBox::NoIcon;
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// The sixteen colours of the font dialog's colour list, 0x00BBGGRR.
struct NamedColor {
    const char* name;
    std::uint32_t bgr;
};
constexpr NamedColor kFontColors[] = {
    {"黒", 0x000000}, {"茶", 0x000080},   {"緑", 0x008000},   {"オリーブ", 0x008080},
    {"紺", 0x800000}, {"紫", 0x800080},   {"青緑", 0x808000}, {"灰色", 0x808080},
    {"銀", 0xC0C0C0}, {"赤", 0x0000FF},   {"黄緑", 0x00FF00}, {"黄", 0x00FFFF},
    {"青", 0xFF0000}, {"赤紫", 0xFF00FF}, {"水", 0xFFFF00},   {"白", 0xFFFFFF},
};

// QFontDialog has no colour; the font dialog of the program offers one, so the Qt font
// chooser is embedded beside a colour list.
class FontColorDialog final : public QDialog {
public:
    explicit FontColorDialog(QWidget* parent) : QDialog(parent) {
        setWindowTitle(QStringLiteral("フォント"));
        fonts_ = new QFontDialog(this);
        fonts_->setWindowFlags(Qt::Widget);
        fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
        colors_ = new QComboBox(this);
        colors_->setObjectName(QStringLiteral("cmbFontColor"));
        for (const NamedColor& c : kFontColors) {
            QPixmap swatch(16, 16);
            swatch.fill(qColorFromBgr(c.bgr));
            colors_->addItem(QIcon(swatch), QString::fromUtf8(c.name), QVariant::fromValue(c.bgr));
        }
        auto* colorLabel = new QLabel(QStringLiteral("色(&C):"), this);
        colorLabel->setBuddy(colors_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        // Enter and Esc in the embedded chooser's boxes end the embedded dialog; they are
        // meant for this one.
        connect(fonts_, &QDialog::accepted, this, &QDialog::accept);
        connect(fonts_, &QDialog::rejected, this, &QDialog::reject);
        // Most Japanese faces here have no bold or italic style of their own (Qt draws them
        // anyway), so the style list alone could neither show nor keep them.
        bold_ = new QCheckBox(QStringLiteral("太字(&B)"), this);
        bold_->setObjectName(QStringLiteral("chkFontBold"));
        italic_ = new QCheckBox(QStringLiteral("斜体(&I)"), this);
        italic_->setObjectName(QStringLiteral("chkFontItalic"));
        auto* colorRow = new QHBoxLayout;
        colorRow->addWidget(bold_);
        colorRow->addWidget(italic_);
        colorRow->addWidget(colorLabel);
        colorRow->addWidget(colors_, 1);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(fonts_);
        layout->addLayout(colorRow);
        layout->addWidget(buttons);
    }

    void preset(const FontPreset& p) {
        constexpr int kScalableOnly = 0x20000;
        QFontDialog::FontDialogOptions options =
            QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog;
        if (p.flags & kScalableOnly) options |= QFontDialog::ScalableFonts;
        fonts_->setOptions(options);
        QFont font = fonts_->currentFont();
        if (p.name) {
            // A stored face that exists here only as a substitution (ＭＳ Ｐゴシック) is shown
            // as the family that draws it, and given back under its own name.
            storedFace_ = *p.name;
            shownFamily_ = familyDrawing(*p.name);
            font.setFamily(shownFamily_);
        }
        if (p.size && *p.size > 0) font.setPointSizeF(*p.size);
        font.setWeight(p.bold.value_or(false) ? QFont::Bold : QFont::Normal);
        font.setItalic(p.italic.value_or(false));
        if (p.strikethru) font.setStrikeOut(*p.strikethru);
        if (p.underline) font.setUnderline(*p.underline);
        font.setStyleName(QString());
        fonts_->setCurrentFont(font);
        bold_->setChecked(p.bold.value_or(false));
        italic_->setChecked(p.italic.value_or(false));
        shown_ = fonts_->currentFont();
        // A style picked in the list is carried to the boxes; a family change that keeps
        // the style leaves them as they are.
        connect(fonts_, &QFontDialog::currentFontChanged, this, [this](const QFont& now) {
            if (now.bold() != shown_.bold()) bold_->setChecked(now.bold());
            if (now.italic() != shown_.italic()) italic_->setChecked(now.italic());
            shown_ = now;
        });
        if (p.color) {
            int index = colors_->findData(QVariant::fromValue(*p.color));
            if (index < 0) {
                QPixmap swatch(16, 16);
                swatch.fill(qColorFromBgr(*p.color));
                colors_->addItem(QIcon(swatch), QStringLiteral("カスタム"),
                                 QVariant::fromValue(*p.color));
                index = colors_->count() - 1;
            }
            colors_->setCurrentIndex(index);
        }
    }

    FontChoice choice() const {
        const QFont font = fonts_->currentFont();
        FontChoice c;
        c.name = withoutFoundry(font.family());
        if (!shownFamily_.isEmpty() && c.name == withoutFoundry(shownFamily_)) c.name = storedFace_;
        c.size = font.pointSizeF();
        c.bold = bold_->isChecked();
        c.italic = italic_->isChecked();
        c.strikethru = font.strikeOut();
        c.underline = font.underline();
        c.color = colors_->currentData().value<std::uint32_t>();
        return c;
    }

private:
    // The family of the dialog's list that draws a face.
    static QString familyDrawing(const QString& face) {
        const QStringList families = QFontDatabase::families();
        if (families.contains(face)) return face;
        const QString drawn = QFontInfo(QFont(face)).family();
        for (const QString& family : families)
            if (withoutFoundry(family) == drawn) return family;
        return drawn;
    }

    // "C059 [UKWN]": the list tells faces of one name apart by their foundry; a stored face
    // name carries no foundry.
    static QString withoutFoundry(const QString& family) {
        const int bracket = family.lastIndexOf(QStringLiteral(" ["));
        return bracket > 0 && family.endsWith(QLatin1Char(']')) ? family.left(bracket) : family;
    }

    QString storedFace_;
    QString shownFamily_;
    QFont shown_;
    QCheckBox* bold_;
    QCheckBox* italic_;
    QFontDialog* fonts_;
    QComboBox* colors_;
};

}  // namespace

QStringList qtNameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the last parentheses; a description that already
        // shows them is used as it is.
        if (description.contains(QLatin1Char('(') + patterns + QLatin1Char(')')))
            result << description;
        else
            result << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return result;
}

Answer QtDialogs::message(const MessageRequest& request) {
    QMessageBox box(ownerWindow());
    box.setWindowTitle(request.title);
    box.setText(request.text);
    box.setIcon(qtIcon(request.icon));
    const std::vector<Answer> offered = answersOf(request.buttons);
    QMessageBox::StandardButtons buttons;
    for (Answer a : offered) buttons |= standardButton(a);
    box.setStandardButtons(buttons);
    const std::size_t defaultIndex = static_cast<std::size_t>(request.defaultButton) / 256;
    if (defaultIndex < offered.size()) box.setDefaultButton(standardButton(offered[defaultIndex]));
    const int clicked = box.exec();
    for (Answer a : offered) {
        if (clicked == standardButton(a)) return a;
    }
    // Closed without a button (Escape on a box without Cancel): the last button, as the
    // platform's message box answers then.
    return offered.size() == 1 ? offered.front() : Answer::Cancel;
}

std::optional<QString> QtDialogs::input(const InputRequest& request) {
    bool ok = false;
    const QString text = QInputDialog::getText(ownerWindow(), request.title, request.prompt,
                                               QLineEdit::Normal, request.defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<QString> QtDialogs::openFile(const OpenFileRequest& request) {
    QFileDialog dialog(ownerWindow(), request.title, request.initDir);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    constexpr int kFileMustExist = 0x1000;
    dialog.setFileMode((request.flags & kFileMustExist) && !request.save ? QFileDialog::ExistingFile
                                                                         : QFileDialog::AnyFile);
    dialog.setNameFilters(qtNameFilters(request.filter));
    if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<std::uint32_t> QtDialogs::chooseColor(const ColorRequest& request) {
    const QColor chosen = QColorDialog::getColor(qColorFromBgr(request.color), ownerWindow(),
                                                 QStringLiteral("色の設定"));
    if (!chosen.isValid()) return std::nullopt;
    return bgrFromQColor(chosen);
}

std::optional<FontChoice> QtDialogs::chooseFont(const FontPreset& preset) {
    FontColorDialog dialog(ownerWindow());
    dialog.preset(preset);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

void QtDialogs::showHelp(const HelpRequest& request) {
    showHelpViewer(request);
}

}  // namespace ui

namespace ui {

void QtDialogs::openUrl(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}

}  // namespace ui
