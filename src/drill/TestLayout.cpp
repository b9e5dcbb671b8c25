#include "drill/TestLayout.h"

#include <algorithm>

namespace drill {

const Placement* TestWindowLayout::find(const QString& control) const {
    for (const Placement& p : placements)
        if (p.control == control) return &p;
    return nullptr;
}

namespace {

// Controls that keep their distance from the right edge: name, design left, top, width, height.
struct Design {
    const char* control;
    double left, top, width, height;
};

constexpr Design kMovesRight[] = {
    {"chkTest(0)", 4440, 80, 945, 195},       {"cmbPoints", 5400, 30, 735, 300},
    {"Label1(11)", 6240, 75, 375, 255},       {"fraTest(0)", 6360, 30, 1335, 255},
    {"fraTest(1)", 7800, 30, 1575, 255},      {"chkTest(1)", 4440, 410, 975, 255},
    {"cmbRecordDay(0)", 5400, 360, 735, 300}, {"cmbRecordDay(1)", 6080, 360, 510, 300},
    {"cmbRecordDay(2)", 6540, 360, 510, 300}, {"cmbRecordDay(3)", 7220, 360, 735, 300},
    {"cmbRecordDay(4)", 7900, 360, 510, 300}, {"cmbRecordDay(5)", 8360, 360, 510, 300},
    {"Label1(10)", 7100, 390, 90, 180},       {"Label1(3)", 4440, 795, 975, 255},
    {"chkTest(2)", 5400, 750, 855, 255},      {"chkTest(3)", 6240, 750, 975, 255},
    {"chkTest(4)", 7080, 750, 975, 255},      {"chkTest(5)", 7920, 750, 975, 255},
    {"chkTest(6)", 4440, 1080, 1335, 255},    {"chkTest(7)", 5880, 1080, 1095, 255},
    {"chkTest(8)", 6960, 1080, 855, 255},     {"cmdTest(0)", 7920, 1080, 1335, 255},
    {"cmdTest(5)", 6000, 1560, 735, 255},     {"cmdTest(6)", 6840, 1560, 735, 255},
    {"cmdTest(7)", 7680, 1560, 735, 255},     {"cmdTest(8)", 8520, 1560, 735, 255},
    {"Label1(7)", 6240, 1965, 615, 255},      {"txtItem(4)", 6840, 1920, 615, 270},
    {"Label1(8)", 7560, 1965, 135, 255},      {"Label1(9)", 7800, 1965, 615, 255},
    {"txtItem(5)", 8400, 1920, 975, 270},
};

}  // namespace

TestWindowLayout layoutTestWindow(double outerWidth, double outerHeight) {
    TestWindowLayout layout;
    layout.width = std::max(outerWidth, kTestWindowMinWidth);
    layout.height = std::max(outerHeight, kTestWindowMinHeight);
    const double d = layout.width - kTestWindowMinWidth;
    const double e = layout.height - kTestWindowMinHeight;
    auto& out = layout.placements;

    for (const Design& c : kMovesRight)
        out.push_back({c.control, d + c.left, c.top, c.width, c.height});
    out.push_back({"lstDatabase", 120, 240, d + 4215, 1110});
    out.push_back({"Line1(0)", 0, 1440, d + 9360, 0});
    out.push_back({"Line1(1)", d + 4440, 720, 9360 - 4440, 0});

    const double itemHeight = e / 3 + 1335;
    const double top0 = 2160;
    const double top1 = top0 + itemHeight + 435;
    const double top2 = top1 + itemHeight + 435;
    const double commentTop = layout.height - 1200;
    out.push_back({"txtData(0)", 120, top0, d + 9255, itemHeight});
    out.push_back({"txtData(1)", 120, top1, d + 9255, itemHeight});
    out.push_back({"Label1(2)", 120, top1 - 190, 855, 255});
    out.push_back({"txtItem(2)", 650, top1 - 250, 2055, 270});
    out.push_back({"txtData(2)", 120, top2, d + 9255, itemHeight});
    out.push_back({"Label1(5)", 120, top2 - 190, 735, 255});
    out.push_back({"txtItem(3)", 650, top2 - 250, 2055, 270});
    out.push_back({"txtData(3)", 120, commentTop, d + 9255, 735});
    out.push_back({"Label1(6)", 120, commentTop - 190, 735, 255});
    return layout;
}

}  // namespace drill
