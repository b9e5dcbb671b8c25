#include "platform/richtext/RichTextBox.h"

#include <QMimeData>
#include <QTextBlock>

#include "platform/richtext/RtfReader.h"
#include "platform/richtext/RtfWriter.h"
#include "platform/richtext/TextDocumentConvert.h"

namespace richtext {

namespace {

const QString kRtfMime = QStringLiteral("text/rtf");
const QString kRtfMimeAlt = QStringLiteral("application/rtf");

QString withNewlines(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == QChar::ParagraphSeparator || text[i] == QChar::LineSeparator)
            text[i] = QLatin1Char('\n');
    return text;
}

}  // namespace

// Collects the content changes of one program write into one Change signal; a quiet write
// (attributes for the caret) sends none.
class RichTextBox::ProgramWrite {
public:
    explicit ProgramWrite(RichTextBox* box, bool quiet = false) : box_(box), quiet_(quiet) {
        ++box_->writing_;
    }
    ~ProgramWrite() {
        if (--box_->writing_ > 0) return;
        const bool changed = box_->changedWhileWriting_;
        box_->changedWhileWriting_ = false;
        if (changed && !quiet_) emit box_->Change();
    }
    ProgramWrite(const ProgramWrite&) = delete;
    ProgramWrite& operator=(const ProgramWrite&) = delete;

private:
    RichTextBox* box_;
    bool quiet_;
};

void installFontSubstitutions() {
    static const bool installed = [] {
        const std::pair<const char*, const char*> map[] = {
            {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"ＭＳ ゴシック", "IPAGothic"},
            {"ＭＳ Ｐ明朝", "IPAPMincho"},     {"ＭＳ 明朝", "IPAMincho"},
            {"MS PGothic", "IPAPGothic"},      {"MS Gothic", "IPAGothic"},
            {"MS UI Gothic", "IPAPGothic"},    {"MS PMincho", "IPAPMincho"},
            {"MS Mincho", "IPAMincho"}};
        for (const auto& [face, ipa] : map)
            QFont::insertSubstitution(QString::fromUtf8(face), QString::fromUtf8(ipa));
        return true;
    }();
    (void)installed;
}

RichTextBox::RichTextBox(QWidget* parent) : QTextEdit(parent) {
    installFontSubstitutions();
    setFont(QFont(defaultFace(), 10));
    setAcceptRichText(false);
    setTabChangesFocus(true);
    // contentsChange, not contentsChanged: the latter also fires for edit blocks that
    // changed nothing.
    connect(document(), &QTextDocument::contentsChange, this, &RichTextBox::onContentsChanged);
}

void RichTextBox::onContentsChanged() {
    if (writing_ > 0)
        changedWhileWriting_ = true;
    else
        emit Change();
}

int RichTextBox::length() const {
    return document()->characterCount() - 1;
}

// The format of the character at position (or, at a block end, the one a caret there gets).
QTextCharFormat RichTextBox::formatAt(int position) const {
    QTextCursor c(document());
    c.setPosition(qBound(0, position, length()));
    if (!c.atBlockEnd()) c.setPosition(c.position() + 1);
    return c.charFormat();
}

QString RichTextBox::Text() const {
    return withNewlines(document()->toRawText());
}

void RichTextBox::setText(const QString& text) {
    ProgramWrite write(this);
    const QTextCharFormat format = formatAt(0);
    QTextCursor c(document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.setBlockCharFormat(format);
    richtext::insertPlainText(c, text, format);
    c.endEditBlock();
    c.setPosition(0);
    setTextCursor(c);
    document()->clearUndoRedoStacks();
}

QString RichTextBox::TextRTF() const {
    return writeRtfString(richText());
}

void RichTextBox::setTextRTF(const QString& rtf) {
    if (rtf.trimmed().isEmpty()) return;
    if (!looksLikeRtf(QStringView(rtf))) {
        setText(rtf);
        return;
    }
    setRichText(readRtf(QStringView(rtf)));
}

Document RichTextBox::richText() const {
    return documentRange(*document(), 0, length());
}

void RichTextBox::setRichText(const Document& doc) {
    ProgramWrite write(this);
    QTextCursor c(document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.removeSelectedText();
    c.setBlockFormat(QTextBlockFormat());
    insertDocument(c, doc);
    c.endEditBlock();
    c.setPosition(0);
    setTextCursor(c);
    document()->clearUndoRedoStacks();
}

int RichTextBox::SelStart() const {
    return textCursor().selectionStart();
}

int RichTextBox::SelLength() const {
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void RichTextBox::setSelStart(int start) {
    QTextCursor c = textCursor();
    c.setPosition(qBound(0, start, length()));
    setTextCursor(c);
}

void RichTextBox::setSelLength(int len) {
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    c.setPosition(start);
    c.setPosition(qBound(start, start + qMax(len, 0), length()), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichTextBox::SelText() const {
    return withNewlines(textCursor().selectedText());
}

void RichTextBox::setSelText(const QString& text) {
    ProgramWrite write(this);
    QTextCursor c = textCursor();
    const QTextCharFormat format = c.hasSelection() ? formatAt(c.selectionStart()) : c.charFormat();
    c.beginEditBlock();
    c.removeSelectedText();
    richtext::insertPlainText(c, text, format);
    c.endEditBlock();
    setTextCursor(c);
}

QString RichTextBox::SelRTF() const {
    const QTextCursor c = textCursor();
    return writeRtfString(documentRange(*document(), c.selectionStart(), c.selectionEnd()));
}

void RichTextBox::setSelRTF(const QString& rtf) {
    ProgramWrite write(this);
    QTextCursor c = textCursor();
    Document doc;
    if (looksLikeRtf(QStringView(rtf)))
        doc = readRtf(QStringView(rtf));
    else if (!rtf.isEmpty())
        doc = Document::fromPlainText(
            rtf, fromCharFormat(c.hasSelection() ? formatAt(c.selectionStart()) : c.charFormat(),
                                document()->defaultFont()));
    c.beginEditBlock();
    c.removeSelectedText();
    insertDocument(c, doc);
    c.endEditBlock();
    setTextCursor(c);
}

// The value every selected character shares, or nothing when they differ; with no
// selection, the caret's.
template <typename T, typename Get>
std::optional<T> RichTextBox::uniformValue(Get get) const {
    const QFont defaultFont = document()->defaultFont();
    const QTextCursor c = textCursor();
    if (!c.hasSelection()) return get(fromCharFormat(c.charFormat(), defaultFont));
    const int start = c.selectionStart();
    const int end = c.selectionEnd();
    std::optional<T> value;
    for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() < end;
         b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            if (!frag.isValid() || frag.position() >= end ||
                frag.position() + frag.length() <= start)
                continue;
            const T v = get(fromCharFormat(frag.charFormat(), defaultFont));
            if (!value)
                value = v;
            else if (!(*value == v))
                return std::nullopt;
        }
    }
    if (!value) return get(fromCharFormat(formatAt(start), defaultFont));
    return value;
}

std::optional<bool> RichTextBox::SelBold() const {
    return uniformValue<bool>([](const Format& f) { return f.bold; });
}
std::optional<bool> RichTextBox::SelItalic() const {
    return uniformValue<bool>([](const Format& f) { return f.italic; });
}
std::optional<bool> RichTextBox::SelStrikeThru() const {
    return uniformValue<bool>([](const Format& f) { return f.strike; });
}
std::optional<bool> RichTextBox::SelUnderline() const {
    return uniformValue<bool>([](const Format& f) { return f.underline; });
}
std::optional<QString> RichTextBox::SelFontName() const {
    return uniformValue<QString>([](const Format& f) { return f.font; });
}
std::optional<double> RichTextBox::SelFontSize() const {
    return uniformValue<double>([](const Format& f) { return f.size; });
}
std::optional<QColor> RichTextBox::SelColor() const {
    const QColor automatic = palette().color(QPalette::Text);
    return uniformValue<QColor>([&](const Format& f) {
        return f.color ? QColor::fromRgb(static_cast<QRgb>(*f.color | 0xFF000000u)) : automatic;
    });
}

void RichTextBox::applyFormat(const QTextCharFormat& modifier) {
    QTextCursor c = textCursor();
    ProgramWrite write(this, !c.hasSelection());
    if (c.hasSelection()) {
        c.mergeCharFormat(modifier);
        return;
    }
    // No selection: the format for what is typed next, kept in the block too when the
    // block is empty so that it survives a move of the caret and is saved with the RTF.
    mergeCurrentCharFormat(modifier);
    if (c.block().length() == 1) c.mergeBlockCharFormat(modifier);
}

void RichTextBox::setSelBold(bool on) {
    QTextCharFormat m;
    m.setFontWeight(on ? QFont::Bold : QFont::Normal);
    applyFormat(m);
}

void RichTextBox::setSelItalic(bool on) {
    QTextCharFormat m;
    m.setFontItalic(on);
    applyFormat(m);
}

void RichTextBox::setSelStrikeThru(bool on) {
    QTextCharFormat m;
    m.setFontStrikeOut(on);
    applyFormat(m);
}

void RichTextBox::setSelUnderline(bool on) {
    QTextCharFormat m;
    m.setFontUnderline(on);
    applyFormat(m);
}

void RichTextBox::setSelFontName(const QString& face) {
    if (face.isEmpty()) return;
    QTextCharFormat m;
    m.setFontFamilies(QStringList{face});
    applyFormat(m);
}

void RichTextBox::setSelFontSize(double points) {
    if (!(points > 0)) return;
    QTextCharFormat m;
    m.setFontPointSize(points);
    applyFormat(m);
}

void RichTextBox::setSelColor(const QColor& color) {
    QTextCharFormat m;
    m.setForeground(QColor::fromRgb(color.rgb()));
    applyFormat(m);
}

QColor RichTextBox::BackColor() const {
    return palette().color(QPalette::Base);
}

void RichTextBox::setBackColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}

bool RichTextBox::Locked() const {
    return isReadOnly();
}

void RichTextBox::setLocked(bool locked) {
    setReadOnly(locked);
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const {
    return source->hasText() || source->hasFormat(kRtfMime) || source->hasFormat(kRtfMimeAlt);
}

QMimeData* RichTextBox::createMimeDataFromSelection() const {
    auto* data = new QMimeData;
    data->setText(SelText());
    data->setData(kRtfMime, SelRTF().toLatin1());
    return data;
}

// Pasting and dropping take RTF with its formats or plain text; never HTML or images.
void RichTextBox::insertFromMimeData(const QMimeData* source) {
    if (isReadOnly()) return;
    QTextCursor c = textCursor();
    c.beginEditBlock();
    if (source->hasFormat(kRtfMime) || source->hasFormat(kRtfMimeAlt)) {
        const QByteArray rtf = source->data(source->hasFormat(kRtfMime) ? kRtfMime : kRtfMimeAlt);
        c.removeSelectedText();
        insertDocument(c, readRtf(QByteArrayView(rtf)));
    } else if (source->hasText()) {
        const QTextCharFormat format =
            c.hasSelection() ? formatAt(c.selectionStart()) : c.charFormat();
        c.removeSelectedText();
        richtext::insertPlainText(c, source->text(), format);
    }
    c.endEditBlock();
    setTextCursor(c);
    ensureCursorVisible();
}

}  // namespace richtext
