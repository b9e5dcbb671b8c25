#include "drill/TestSession.h"

#include "drill/AnswerCounting.h"
#include "drill/TestStatement.h"
#include "platform/dao/Database.h"
#include "platform/dao/Recordset.h"

namespace drill {

namespace {

// A set whose hiding colour was never chosen hides in light grey.
constexpr std::uint32_t kDefaultHidingColour = 0xC0C0C0;
constexpr std::uint32_t kWhite = 0xFFFFFF;

std::uint32_t colourOf(const dao::Variant& v, std::uint32_t fallback) {
    return v.isNull() ? fallback : static_cast<std::uint32_t>(v.toLong());
}

QString field(const char* name) {
    return QString::fromUtf8(name);
}

}  // namespace

QuestionOrder questionOrder(bool random, bool weighted) {
    if (!random) return QuestionOrder::Fixed;
    return weighted ? QuestionOrder::Weighted : QuestionOrder::Uniform;
}

TestSession::TestSession() : random_(std::make_unique<RandomSingle>()) {}

TestSession::~TestSession() = default;

bool TestSession::start(dao::Database& database, const TestConditions& conditions) {
    close();
    const QString statement = buildTestStatement(conditions);
    if (conditions.random) random_->seedFromClock();
    rs_ = database.OpenRecordset(statement, dao::dbOpenDynaset);
    if (rs_->RecordCount() == 0) return false;
    if (conditions.random)
        rs_->SetAbsolutePosition(RndPos(!conditions.weighted, rs_->RecordCount(), *random_));
    return true;
}

void TestSession::close() {
    if (rs_) rs_->Close();
    rs_.reset();
    endCounted_ = false;
}

bool TestSession::hasQuestions() const {
    return rs_ && rs_->RecordCount() > 0;
}

bool TestSession::hasQuestion() const {
    return rs_ && rs_->AbsolutePosition() >= 0;
}

BoxView TestSession::loaded(int box) const {
    BoxView view;
    view.text = rs_->value(field(kQuestionBoxes[box].text)).displayText();
    view.rtf = rs_->value(field(kQuestionBoxes[box].rtf)).displayText();
    return view;
}

std::uint32_t TestSession::backColour(int box, const ShowSettings& show) const {
    if (show.hideByColour && !show.shown[box])
        return colourOf(rs_->value(QStringLiteral("文字隠用背景色")), kDefaultHidingColour);
    return colourOf(rs_->value(field(kQuestionBoxes[box].back)), kWhite);
}

QuestionView TestSession::question(const ShowSettings& show, bool afterMove) {
    QuestionView q;
    for (int box = 0; box < 4; ++box) {
        // At the first question item 1 is loaded for 文字隠 too, so it shows on the hiding
        // colour until the first move; its lock is left as it was.
        const bool load = show.shown[box] || (!afterMove && box == 0 && show.hideByColour);
        BoxView& view = q.boxes[box];
        if (load) view = loaded(box);
        if (afterMove)
            view.locked = !show.shown[box];
        else if (!load)
            view.locked = true;
        view.backColour = backColour(box, show);
    }
    q.setName = rs_->value(QStringLiteral("データベース名")).displayText();
    for (int k = 0; k < 3; ++k)
        q.itemNames[k] = rs_->value(QStringLiteral("項目%1名称").arg(k + 1)).displayText();
    // A record without a rate shows 0.0.
    const dao::Variant rate = rs_->value(QStringLiteral("正解率"));
    q.rate = rateText(rate.isNull() ? 0.0 : rate.toDouble());
    const dao::Variant threshold = rs_->value(QStringLiteral("正解率閾値"));
    const bool above = rateAtOrAboveThreshold(threshold.isNull() ? 0 : threshold.toLong(), q.rate);
    q.rateBackColour = colourOf(
        rs_->value(above ? QStringLiteral("正解率以上背景色") : QStringLiteral("正解率未満背景色")),
        kWhite);
    q.registered = rs_->value(QStringLiteral("登録日")).displayText();
    q.counter = QStringLiteral("%1/%2").arg(rs_->AbsolutePosition() + 1).arg(rs_->RecordCount());
    return q;
}

QuestionView TestSession::firstQuestion(const ShowSettings& show) {
    shownPosition_ = rs_->AbsolutePosition();
    return question(show, false);
}

std::optional<QuestionView> TestSession::questionAfterMove(const ShowSettings& show) {
    std::optional<QuestionView> q;
    // A move that ends where it started shows nothing new.
    if (rs_->AbsolutePosition() != shownPosition_) q = question(show, true);
    shownPosition_ = rs_->AbsolutePosition();
    return q;
}

void TestSession::answer(bool correct, QuestionOrder order) {
    const AnswerCounts counts =
        countAnswer(rs_->value(QStringLiteral("正解回数")).toLong(),
                    rs_->value(QStringLiteral("出題回数")).toLong(), correct);
    rs_->Edit();
    rs_->Fields(QStringLiteral("正解率")) = counts.rate;
    rs_->Fields(QStringLiteral("正解回数")) = counts.right;
    rs_->Fields(QStringLiteral("出題回数")) = counts.asked;
    rs_->Update();
    nextPosition(order);
}

void TestSession::nextPosition(QuestionOrder order) {
    if (order != QuestionOrder::Fixed) {
        rs_->SetAbsolutePosition(
            RndPos(order == QuestionOrder::Uniform, rs_->RecordCount(), *random_));
        return;
    }
    rs_->MoveNext();
    if (rs_->AtEOF()) {
        endCounted_ = true;
        rs_->MoveLast();
    }
}

void TestSession::move(QuestionMove move) {
    switch (move) {
        case QuestionMove::First:
            endCounted_ = false;
            rs_->MoveFirst();
            break;
        case QuestionMove::Previous:
            endCounted_ = false;
            rs_->MovePrevious();
            if (rs_->AtBOF()) rs_->MoveFirst();
            break;
        case QuestionMove::Next:
            rs_->MoveNext();
            if (rs_->AtEOF()) rs_->MoveLast();
            break;
        case QuestionMove::Last:
            rs_->MoveLast();
            break;
    }
}

std::array<std::optional<BoxView>, 4> TestSession::revealed(const ShowSettings& show) {
    std::array<std::optional<BoxView>, 4> boxes;
    for (int box = 0; box < 4; ++box) {
        if (show.shown[box]) continue;
        BoxView view = loaded(box);
        view.backColour = colourOf(rs_->value(field(kQuestionBoxes[box].back)), kWhite);
        view.locked = false;
        boxes[box] = view;
    }
    return boxes;
}

}  // namespace drill
