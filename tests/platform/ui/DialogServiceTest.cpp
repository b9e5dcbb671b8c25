// The dialog service's test double and the common dialog: what a handler shows is recorded
// exactly, scripted answers reach the caller, and a cancel changes nothing.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "platform/ui/CommonDialog.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/QtDialogs.h"
#include "platform/ui/ScriptedDialogs.h"

namespace {

using ui::Answer;
using ui::Buttons;

TEST(MessageBoxTest, RecordsTheBoxAndAnswersFromTheQueue) {
    ui::ScopedScriptedDialogs boxes;
    boxes->queue(QStringLiteral("キャンセル"));
    EXPECT_EQ(ui::MsgBox(QStringLiteral("一行目\n二行目"), Buttons::OKCancel,
                         QStringLiteral("データベース削除"), ui::Icon::Question),
              Answer::Cancel);
    // No answer queued: the first button.
    EXPECT_EQ(ui::MsgBox(QStringLiteral("確認"), Buttons::YesNo), Answer::Yes);
    // A caption the box does not offer keeps the first button and is marked.
    boxes->queue(QStringLiteral("いいえ"));
    EXPECT_EQ(ui::MsgBox(QStringLiteral("了解"), Buttons::OKOnly), Answer::OK);

    ASSERT_EQ(boxes->shown().size(), 3u);
    const ui::ShownDialog& first = boxes->shown()[0];
    EXPECT_EQ(first.text, QStringLiteral("一行目\n二行目"));
    EXPECT_EQ(first.title, QStringLiteral("データベース削除"));
    EXPECT_EQ(first.buttonCaptions, (QStringList{"OK", "キャンセル"}));
    EXPECT_EQ(first.icon, ui::Icon::Question);
    EXPECT_EQ(first.answer, QStringLiteral("キャンセル"));
    EXPECT_EQ(boxes->shown()[1].title,
              QStringLiteral("KENVORA"));  // empty title: the default, set by the test main
    EXPECT_EQ(boxes->shown()[1].buttonCaptions, (QStringList{"はい", "いいえ"}));
    EXPECT_EQ(boxes->shown()[2].answer, QStringLiteral("?いいえ"));
    EXPECT_EQ(boxes->pending(), 0u);
}

TEST(MessageBoxTest, BoxesWithoutTitleShowTheDefaultTitleOrElseTheApplicationName) {
    ui::ScopedScriptedDialogs boxes;
    const QString before = ui::defaultTitle();
    ui::setDefaultTitle(QStringLiteral("既定の題"));
    ui::MsgBox(QStringLiteral("題なし"));
    ui::InputBox(QStringLiteral("名前"));
    ui::MsgBox(QStringLiteral("題あり"), Buttons::OKOnly, QStringLiteral("自分の題"));
    ui::setDefaultTitle(QString());
    ui::MsgBox(QStringLiteral("既定なし"));
    ui::setDefaultTitle(before);

    ASSERT_EQ(boxes->shown().size(), 4u);
    EXPECT_EQ(boxes->shown()[0].title, QStringLiteral("既定の題"));
    EXPECT_EQ(boxes->shown()[1].title, QStringLiteral("既定の題"));
    EXPECT_EQ(boxes->shown()[2].title, QStringLiteral("自分の題"));
    EXPECT_EQ(boxes->shown()[3].title, QCoreApplication::applicationName());
    EXPECT_NE(QCoreApplication::applicationName(), QStringLiteral("既定の題"));
}

TEST(MessageBoxTest, InputBoxReturnsTypedTextOrNothingOnCancel) {
    ui::ScopedScriptedDialogs boxes;
    boxes->queue(QStringLiteral("林檎"));
    boxes->queueCancel();
    EXPECT_EQ(ui::InputBox(QStringLiteral("名前"), QStringLiteral("入力")), QStringLiteral("林檎"));
    EXPECT_FALSE(ui::InputBox(QStringLiteral("名前")).has_value());
    EXPECT_FALSE(ui::InputBox(QStringLiteral("名前")).has_value());  // nothing queued: cancel
    EXPECT_EQ(boxes->shown()[0].kind, ui::DialogKind::Input);
    EXPECT_EQ(boxes->shown()[1].answer, QStringLiteral("キャンセル"));
}

TEST(MessageBoxTest, ScopedDoubleRestoresThePreviousService) {
    ui::ScopedScriptedDialogs outer;
    {
        ui::ScopedScriptedDialogs inner;
        ui::MsgBox(QStringLiteral("内側"));
        EXPECT_EQ(inner->shown().size(), 1u);
    }
    ui::MsgBox(QStringLiteral("外側"));
    EXPECT_EQ(outer->shownTexts(), QStringList{QStringLiteral("外側")});
}

TEST(CommonDialogTest, OpenFileSendsTheRequestAndKeepsTheNameOnCancel) {
    ui::ScopedScriptedDialogs boxes;
    ui::CommonDialog dialog;
    dialog.DialogTitle = QStringLiteral("Kenvora.mdb ﾌｧｲﾙが見つかりません");
    dialog.Filter = QStringLiteral("(*.mdb)|*.mdb");
    dialog.InitDir = QStringLiteral("/home/user");
    dialog.FileName = QStringLiteral("Kenvora.mdb");
    dialog.Flags = 0x81800;
    boxes->queueCancel();
    EXPECT_FALSE(dialog.ShowOpen());
    EXPECT_EQ(dialog.FileName, QStringLiteral("Kenvora.mdb"));
    boxes->queue(QStringLiteral("/data/Kenvora.mdb"));
    EXPECT_TRUE(dialog.ShowOpen());
    EXPECT_EQ(dialog.FileName, QStringLiteral("/data/Kenvora.mdb"));

    const ui::OpenFileRequest& sent = boxes->shown()[0].openFile;
    EXPECT_EQ(sent.title, QStringLiteral("Kenvora.mdb ﾌｧｲﾙが見つかりません"));
    EXPECT_EQ(sent.filter, QStringLiteral("(*.mdb)|*.mdb"));
    EXPECT_EQ(sent.initDir, QStringLiteral("/home/user"));
    EXPECT_EQ(sent.fileName, QStringLiteral("Kenvora.mdb"));
    EXPECT_EQ(sent.flags, 0x81800);
    // The second dialog was preset with the name the first one left.
    EXPECT_EQ(boxes->shown()[1].openFile.fileName, QStringLiteral("Kenvora.mdb"));
}

TEST(CommonDialogTest, ColourAndFontCancelChangeNothing) {
    ui::ScopedScriptedDialogs boxes;
    ui::CommonDialog dialog;
    dialog.Color = 0x00FF00;
    boxes->queueCancel();
    EXPECT_FALSE(dialog.ShowColor());
    EXPECT_EQ(dialog.Color, 0x00FF00u);
    boxes->queueColor(0x0000FF);
    EXPECT_TRUE(dialog.ShowColor());
    EXPECT_EQ(dialog.Color, 0x0000FFu);
    EXPECT_EQ(boxes->shown()[1].color.color, 0x00FF00u);  // preset with the colour it had

    // A mixed selection leaves bold unset: the dialog gets no bold preset.
    ui::CommonDialog font;
    font.Flags = 132871;
    font.FontName = QStringLiteral("ＭＳ Ｐゴシック");
    font.FontSize = 10;
    font.Color = 0;
    boxes->queueCancel();
    EXPECT_FALSE(font.ShowFont());
    EXPECT_FALSE(font.FontBold.has_value());
    const ui::FontPreset& preset = boxes->shown()[2].font;
    EXPECT_FALSE(preset.bold.has_value());
    EXPECT_EQ(preset.name, QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(preset.flags, 132871);

    ui::FontChoice chosen;
    chosen.name = QStringLiteral("IPAPGothic");
    chosen.size = 12;
    chosen.bold = true;
    chosen.underline = true;
    chosen.color = 0x0000FF;
    boxes->queueFont(chosen);
    EXPECT_TRUE(font.ShowFont());
    EXPECT_EQ(font.FontName, QStringLiteral("IPAPGothic"));
    EXPECT_EQ(font.FontSize, 12.0);
    EXPECT_EQ(font.FontBold, true);
    EXPECT_EQ(font.FontItalic, false);
    EXPECT_EQ(font.FontUnderline, true);
    EXPECT_EQ(font.Color, 0x0000FFu);
}

TEST(CommonDialogTest, AnswersOfTheWrongKindCancel) {
    ui::ScopedScriptedDialogs boxes;
    ui::CommonDialog dialog;
    boxes->queue(QStringLiteral("OK"));  // meant for a message box, not a colour dialog
    EXPECT_FALSE(dialog.ShowColor());
    boxes->queueColor(0xFF);
    EXPECT_FALSE(dialog.ShowOpen());
}

TEST(CommonDialogTest, HelpRequestCarriesFileCommandAndKey) {
    ui::ScopedScriptedDialogs boxes;
    ui::CommonDialog dialog;
    dialog.HelpFile = QStringLiteral("/opt/kenvora/Kenvora.hlp");
    dialog.HelpCommand = ui::HelpPartialKey;
    dialog.HelpKey = QStringLiteral("表示");
    dialog.ShowHelp();
    ASSERT_EQ(boxes->shown().size(), 1u);
    EXPECT_EQ(boxes->shown()[0].kind, ui::DialogKind::Help);
    EXPECT_EQ(boxes->shown()[0].help.helpFile, QStringLiteral("/opt/kenvora/Kenvora.hlp"));
    EXPECT_EQ(boxes->shown()[0].help.command, 261);
    EXPECT_EQ(boxes->shown()[0].help.key, QStringLiteral("表示"));
}

TEST(QtDialogsTest, FiltersBecomeQtNameFilters) {
    EXPECT_EQ(ui::qtNameFilters(QStringLiteral("(*.mdb)|*.mdb")), QStringList{"(*.mdb)"});
    EXPECT_EQ(ui::qtNameFilters(QStringLiteral("データベース|*.mdb|すべて|*.*")),
              (QStringList{"データベース (*.mdb)", "すべて (*.*)"}));
    EXPECT_EQ(ui::qtNameFilters(QStringLiteral("画像|*.png;*.jpg")),
              QStringList{"画像 (*.png *.jpg)"});
    EXPECT_TRUE(ui::qtNameFilters(QString()).isEmpty());
}

}  // namespace
