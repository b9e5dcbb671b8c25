#pragma once

#include <QColor>
#include <QString>
#include <QTextEdit>

#include <optional>

#include "platform/richtext/RichText.h"

class QMimeData;

namespace richtext {

// The rich text box the windows use (txtData): plain text and RTF of the whole box and of
// the selection, the selection's character attributes, background colour, a lock flag and a
// change signal. Positions count UTF-16 units of Text(), where each paragraph break is one
// "\n", so SelStart and SelLength agree with positions in Text().
class RichTextBox : public QTextEdit {
    Q_OBJECT

public:
    explicit RichTextBox(QWidget* parent = nullptr);

    // Paragraphs joined by "\n". Writing replaces everything in the format of the first
    // character and puts the caret at the start.
    QString Text() const;
    void setText(const QString& text);

    // The whole box as RTF. Writing an empty text leaves the box as it is (the plain text
    // written before stays: a record whose RTF column is empty shows its plain column);
    // writing text that is not RTF puts it in as plain text.
    QString TextRTF() const;
    void setTextRTF(const QString& rtf);

    // Writing SelStart moves the caret there and empties the selection; SelLength then
    // selects from SelStart. Both are clamped to the text.
    int SelStart() const;
    void setSelStart(int start);
    int SelLength() const;
    void setSelLength(int length);

    // Writing replaces the selection; the new text takes the format of the first replaced
    // character (or the caret's) and the caret ends after it.
    QString SelText() const;
    void setSelText(const QString& text);

    // The selection as RTF; writing replaces the selection with the RTF's text and formats
    // ("" deletes the selection).
    QString SelRTF() const;
    void setSelRTF(const QString& rtf);

    // Empty when the selection is mixed. Writing applies to the whole selection; with no
    // selection it sets the format for what is typed next at the caret.
    std::optional<bool> SelBold() const;
    void setSelBold(bool on);
    std::optional<bool> SelItalic() const;
    void setSelItalic(bool on);
    std::optional<bool> SelStrikeThru() const;
    void setSelStrikeThru(bool on);
    std::optional<bool> SelUnderline() const;
    void setSelUnderline(bool on);
    std::optional<QString> SelFontName() const;
    void setSelFontName(const QString& face);
    std::optional<double> SelFontSize() const;  // points
    void setSelFontSize(double points);
    std::optional<QColor> SelColor() const;  // automatic colour reads as the text colour
    void setSelColor(const QColor& color);

    QColor BackColor() const;
    void setBackColor(const QColor& color);

    // A locked box takes no user edits; the program can still write to it.
    bool Locked() const;
    void setLocked(bool locked);

    // The content as the model, and replacing it from one.
    Document richText() const;
    void setRichText(const Document& doc);

signals:
    // Every change of the content: user edits and program writes alike (one signal per
    // program write). Setting attributes with no selection changes no text and is silent.
    void Change();

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    class ProgramWrite;
    friend class ProgramWrite;

    int length() const;
    QTextCharFormat formatAt(int position) const;
    template <typename T, typename Get>
    std::optional<T> uniformValue(Get get) const;
    void applyFormat(const QTextCharFormat& modifier);
    void onContentsChanged();

    int writing_ = 0;
    bool changedWhileWriting_ = false;
};

// Maps the Windows faces that stored records name ("ＭＳ Ｐゴシック" and its kin) to the
// metric-compatible IPA fonts, for every widget of the program. The first RichTextBox calls
// it; call it at start-up for other widgets that show those faces before any box exists.
void installFontSubstitutions();

}  // namespace richtext
