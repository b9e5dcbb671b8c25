#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "drill/RndPos.h"

namespace dao {
class Database;
class Recordset;
}  // namespace dao

// The drill's question loop without its window: opens the test statement, picks the start
// position, counts answers, moves, and says what the window shows for a question.
namespace drill {

struct TestConditions;

// The four question boxes' fields: text, rich text, normal background.
struct QuestionBoxFields {
    const char* text;
    const char* rtf;
    const char* back;
};
inline constexpr std::array<QuestionBoxFields, 4> kQuestionBoxes = {
    {{"項目1", "項目1RTF", "項目1背景色"},
     {"項目2", "項目2RTF", "項目2背景色"},
     {"項目3", "項目3RTF", "項目3背景色"},
     {"コメント", "コメントRTF", "コメント背景色"}}};

// How the next question is chosen after a counted answer (ランダム出題, 出題比率).
enum class QuestionOrder { Fixed, Uniform, Weighted };
QuestionOrder questionOrder(bool random, bool weighted);

enum class QuestionMove { First, Previous, Next, Last };

// What the window reads from its show boxes when it shows a question.
struct ShowSettings {
    std::array<bool, 4> shown{true, true, true, true};  // 出題時表示: items 1-3, comment
    bool hideByColour = false;                          // 文字隠
};

struct BoxView {
    QString text;  // plain text, then rich text; both empty for a hidden box
    QString rtf;
    std::uint32_t backColour = 0xFFFFFF;  // 0x00BBGGRR
    std::optional<bool> locked;           // unset: the box keeps its lock
};

struct QuestionView {
    QString setName;
    std::array<QString, 3> itemNames;
    QString rate;  // "##0.0"
    std::uint32_t rateBackColour = 0xFFFFFF;
    QString registered;  // yyyy/mm/dd
    QString counter;     // "3/25"
    std::array<BoxView, 4> boxes;
};

class TestSession {
public:
    TestSession();
    ~TestSession();
    TestSession(const TestSession&) = delete;
    TestSession& operator=(const TestSession&) = delete;

    // Replaces the test with a new one on these conditions, opened on this database, and
    // goes to its start position (a draw in the random orders). True when it found records.
    bool start(dao::Database& database, const TestConditions& conditions);
    void close();

    // A test with records, and a current record in it.
    bool hasQuestions() const;
    bool hasQuestion() const;
    // A counted answer at the last question of a fixed order found no next one.
    bool endCounted() const { return endCounted_; }
    dao::Recordset* recordset() const { return rs_.get(); }

    // The question at the start position; marks it shown.
    QuestionView firstQuestion(const ShowSettings& show);
    // Counts a right or wrong answer into the current record, then goes on in this order.
    void answer(bool correct, QuestionOrder order);
    // Moves without counting.
    void move(QuestionMove move);
    // The question the last answer or move reached, when it is not the one shown.
    std::optional<QuestionView> questionAfterMove(const ShowSettings& show);
    // The hidden boxes of the shown question, filled, in their normal colour and unlocked;
    // the shown ones are left alone (unset).
    std::array<std::optional<BoxView>, 4> revealed(const ShowSettings& show);

    RandomSingle& random() { return *random_; }
    void setRandom(std::unique_ptr<RandomSingle> random) { random_ = std::move(random); }

private:
    void nextPosition(QuestionOrder order);
    QuestionView question(const ShowSettings& show, bool afterMove);
    BoxView loaded(int box) const;
    std::uint32_t backColour(int box, const ShowSettings& show) const;

    std::unique_ptr<dao::Recordset> rs_;
    std::unique_ptr<RandomSingle> random_;
    bool endCounted_ = false;
    int shownPosition_ = -1;
};

}  // namespace drill
