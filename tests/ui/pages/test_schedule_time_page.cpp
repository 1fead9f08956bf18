#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <array>
#include <tuple>

#include "resources/control_ids.h"
#include "tests/ui/pages/page_test_support.h"
#include "ui/pages/checked_date_edit.h"
#include "ui/pages/schedule_rule.h"
#include "ui/pages/schedule_time_page.h"

namespace {

using Bytes = std::array<BYTE, kScheduleRecordSize>;
using Page = CScheduleTimePage;

SYSTEMTIME At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    SYSTEMTIME t;
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(hour);
    t.wMinute = static_cast<WORD>(minute);
    t.wSecond = static_cast<WORD>(second);
    return t;
}

std::tuple<int, int, int> DateOf(const SYSTEMTIME& t) { return {t.wYear, t.wMonth, t.wDay}; }

// Starts 2024-03-10 09:30:00 and ends that day.
ScheduleControls March10() {
    ScheduleControls controls;
    controls.startDate = At(2024, 3, 10);
    controls.startTime = At(2024, 3, 10, 9, 30, 0);
    controls.hasEnd = true;
    controls.endDate = At(2024, 3, 10);
    return controls;
}

// The record of March10() with the given kind and words at +16, +20, ...
Bytes Expected(DWORD kind, std::initializer_list<DWORD> words) {
    Bytes bytes{0xC0, 0x4B, 0x6A, 0x58, 1, 0, 0, 0, 0x6A, 0x58};
    bytes[12] = static_cast<BYTE>(kind);
    std::size_t offset = 16;
    for (DWORD word : words) {
        for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<BYTE>(word >> (8 * i));
        offset += 4;
    }
    return bytes;
}

TEST(ScheduleRule, EachKindStoresItsRepetitionBlockAndNothingElse) {
    struct Case {
        const char* name;
        void (*set)(ScheduleControls&);
        Bytes expected;
    };
    const Case cases[] = {
        {"daily every 1", [](ScheduleControls&) {}, Expected(kScheduleDaily, {1, 0})},
        {"daily weekdays",
         [](ScheduleControls& c) {
             c.dailyEvery = false;
             c.everyDays = 7;
         },
         Expected(kScheduleDaily, {0, 1})},
        {"weekly every 2, Sunday and Saturday",
         [](ScheduleControls& c) {
             c.kind = kScheduleWeekly;
             c.everyWeeks = 2;
             c.weekDays = 0x41;
         },
         Expected(kScheduleWeekly, {2, 65})},
        {"monthly on the last Friday of January and December",
         [](ScheduleControls& c) {
             c.kind = kScheduleMonthly;
             c.ordinal = 4;
             c.weekday = 5;
             c.monthDay = 12;  // the day field is greyed and not stored
             c.months = 0x801;
         },
         Expected(kScheduleMonthly, {1, 4, 5, 0, 0x801})},
        {"monthly on day 31 of February",
         [](ScheduleControls& c) {
             c.kind = kScheduleMonthly;
             c.monthlyOnWeekday = false;
             c.monthDay = 31;
             c.months = 2;
         },
         Expected(kScheduleMonthly, {0, 0, 0, 31, 2})},
        {"hourly 6, weekdays only",
         [](ScheduleControls& c) {
             c.kind = kScheduleHourly;
             c.everyHours = 6;
             c.weekdaysOnly = true;
         },
         Expected(kScheduleHourly, {6, 0, 0, 1})},
    };
    for (const Case& test : cases) {
        ScheduleControls controls = March10();
        test.set(controls);
        ScheduleRecord record;
        record.block.fill(0xEE);  // an old block is cleared, not merged
        const ScheduleSave save = SaveSchedule(controls, record);
        EXPECT_EQ(save.refusal, "") << test.name;
        EXPECT_TRUE(save.changed) << test.name;
        EXPECT_EQ(record.ToBytes(), test.expected) << test.name;
    }
}

TEST(ScheduleRule, RefusalsNameTheFieldAndLeaveTheRecordAlone) {
    struct Case {
        void (*set)(ScheduleControls&);
        const char* text;
    };
    const Case cases[] = {
        {[](ScheduleControls& c) { c.endDate = At(2024, 3, 9); },
         "Please enter an ending date that is equal or later than the starting date."},
        {[](ScheduleControls& c) { c.everyDays = 100; }, "Please enter between 1 and 99 days"},
        {[](ScheduleControls& c) {
             c.kind = kScheduleWeekly;
             c.everyWeeks = 0;
             c.weekDays = 1;
         },
         "Please enter between 1 and 52 weeks"},
        {[](ScheduleControls& c) {
             c.kind = kScheduleWeekly;
             c.weekDays = 0;
         },
         "Please select at least one day of the week to run the script"},
        {[](ScheduleControls& c) {
             c.kind = kScheduleMonthly;
             c.months = 0;
         },
         "Please select month and enter at least one month to run the script"},
        {[](ScheduleControls& c) {
             c.kind = kScheduleHourly;
             c.everyHours = 25;
         },
         "Please enter between 1 and 24 hours"},
        {[](ScheduleControls& c) { c.startDate = At(1979, 12, 31); },
         "Please enter a date from 1980-01-01 to 2107-12-31."},
        {[](ScheduleControls& c) { c.endDate = At(2108, 1, 1); }, "Please enter a date from 1980-01-01 to 2107-12-31."},
    };
    for (const Case& test : cases) {
        ScheduleControls controls = March10();
        test.set(controls);
        ScheduleRecord record;
        record.startDate = 0x1234;
        const ScheduleRecord before = record;
        const ScheduleSave save = SaveSchedule(controls, record);
        EXPECT_EQ(save.refusal, test.text);
        EXPECT_FALSE(save.changed);
        EXPECT_EQ(record, before) << test.text;
    }
    // The days are checked only while "&Every" is chosen.
    ScheduleControls weekdays = March10();
    weekdays.dailyEvery = false;
    weekdays.everyDays = 0;
    ScheduleRecord record;
    EXPECT_EQ(SaveSchedule(weekdays, record).refusal, "");
}

TEST(ScheduleRule, DatesAtTheEndsOfTheirRange) {
    ScheduleControls last = March10();
    last.startDate = At(2107, 12, 31);
    last.endDate = At(2107, 12, 31);
    ScheduleRecord record;
    ASSERT_EQ(SaveSchedule(last, record).refusal, "");
    EXPECT_EQ(record.startDate, 0xFF9F);
    EXPECT_EQ(record.endDate, 0xFF9Fu);

    // An unchecked end date clears the flag and keeps the old date.
    ScheduleControls open = March10();
    open.hasEnd = false;
    open.endDate = At(2030, 1, 1);
    ASSERT_EQ(SaveSchedule(open, record).refusal, "");
    EXPECT_EQ(record.hasEnd, 0u);
    EXPECT_EQ(record.endDate, 0xFF9Fu);
    EXPECT_EQ(record.startTime, 0x4BC0);  // seconds go in two-second steps: 09:30:00
    open.startTime = At(2024, 3, 10, 9, 30, 59);
    ASSERT_EQ(SaveSchedule(open, record).refusal, "");
    EXPECT_EQ(record.startTime, 0x4BC0 + 29);
}

TEST(ScheduleRule, OpeningAndSavingAgainChangesNothing) {
    const SYSTEMTIME now = At(2031, 6, 15, 14, 5, 7);
    std::vector<Bytes> records = {
        Expected(kScheduleDaily, {5, 0}),
        Expected(kScheduleDaily, {0, 1}),
        Expected(kScheduleWeekly, {52, 0x3E}),
        Expected(kScheduleMonthly, {1, 2, 0, 0, 0xFFF}),
        Expected(kScheduleMonthly, {0, 0, 0, 30, 0x10}),
        Expected(kScheduleHourly, {24, 0, 0, 0}),
    };
    Bytes oldEnd = Expected(kScheduleDaily, {3, 0});
    oldEnd[4] = 0;  // no end date, an old one still in its field
    records.push_back(oldEnd);
    for (const Bytes& bytes : records) {
        ScheduleRecord record = ScheduleRecord::FromBytes(bytes);
        const ScheduleSave save = SaveSchedule(ControlsOfSchedule(record, now), record);
        EXPECT_EQ(save.refusal, "");
        EXPECT_FALSE(save.changed) << int(bytes[12]) << " " << int(bytes[16]);
        EXPECT_EQ(record.ToBytes(), bytes);
    }
}

TEST(ScheduleRule, OpeningShowsDefaultsWhereTheRecordHasNoValue) {
    ScheduleRecord empty;
    ScheduleControls shown = ControlsOfSchedule(empty, At(2031, 6, 15, 14, 5, 7));
    EXPECT_EQ(shown.startTime.wSecond, 7);
    EXPECT_FALSE(shown.hasEnd);
    EXPECT_EQ(DateOf(shown.endDate), DateOf(At(2032, 6, 14)));  // 365 days on, over a 29 February

    // Out of range shows as 1; an end date only with the flag exactly 1.
    ScheduleRecord odd = ScheduleRecord::FromBytes(Expected(kScheduleWeekly, {0, 0xFF}));
    odd.hasEnd = 2;
    shown = ControlsOfSchedule(odd, At(2031, 6, 15));
    EXPECT_EQ(shown.everyWeeks, 1);
    EXPECT_EQ(shown.weekDays, 0x7Fu);
    EXPECT_FALSE(shown.hasEnd);

    // A clock past what a DOS date holds shows the last date it can.
    shown = ControlsOfSchedule(empty, At(2150, 1, 1));
    EXPECT_EQ(DateOf(shown.startDate), DateOf(At(2107, 12, 31)));
    EXPECT_EQ(DateOf(shown.endDate), DateOf(At(2107, 12, 31)));
}

class ScheduleDialogTest : public pagetest::PageTest {
protected:
    template <class Widget>
    Widget* Item(const Page& page, int id) {
        auto* widget = page.findChild<Widget*>(QString::number(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }
    void Ok(Page& page) { QTest::mouseClick(Item<QPushButton>(page, IDOK), Qt::LeftButton); }
};

TEST_F(ScheduleDialogTest, PickersOfferOnlyWhatADosDateHolds) {
    ScheduleRecord record;
    Page page(nullptr, record);
    for (QDateEdit* edit :
         {Item<QDateEdit>(page, IDC_START_DATE), Item<CheckedDateEdit>(page, IDC_END_DATE)->DateEdit()}) {
        EXPECT_EQ(edit->minimumDate(), QDate(1980, 1, 1));
        EXPECT_EQ(edit->maximumDate(), QDate(2107, 12, 31));
        edit->setDate(QDate(2200, 5, 5));
        EXPECT_EQ(edit->date(), QDate(2107, 12, 31));
    }
}

TEST_F(ScheduleDialogTest, TheKindListShowsOnlyThatKindsControls) {
    ScheduleRecord record;
    Page page(nullptr, record);
    page.show();
    EXPECT_TRUE(Item<QSpinBox>(page, IDC_DAILY_DAYS)->isVisible());
    EXPECT_FALSE(Item<QSpinBox>(page, IDC_WEEKLY_WEEKS)->isVisible());
    Item<QComboBox>(page, IDC_SCHEDULE_KINDS)->setCurrentIndex(kScheduleWeekly);
    EXPECT_FALSE(Item<QSpinBox>(page, IDC_DAILY_DAYS)->isVisible());
    EXPECT_TRUE(Item<QSpinBox>(page, IDC_WEEKLY_WEEKS)->isVisible());
    EXPECT_FALSE(Item<QCheckBox>(page, IDC_MONTHLY_JANUARY)->isVisible());

    // "On day" greys the two lists and frees the day field.
    Item<QComboBox>(page, IDC_SCHEDULE_KINDS)->setCurrentIndex(kScheduleMonthly);
    EXPECT_FALSE(Item<QSpinBox>(page, IDC_MONTHLY_DAY)->isEnabled());
    pagetest::ClickBox(Item<QRadioButton>(page, IDC_MONTHLY_ON_DAY));
    EXPECT_TRUE(Item<QSpinBox>(page, IDC_MONTHLY_DAY)->isEnabled());
    EXPECT_FALSE(Item<QComboBox>(page, IDC_MONTHLY_ORDINAL)->isEnabled());
}

TEST_F(ScheduleDialogTest, ARefusalKeepsTheDialogOpenUntilTheUserMendsIt) {
    ScheduleRecord record = ScheduleRecord::FromBytes(Expected(kScheduleDaily, {1, 0}));
    Page page(nullptr, record);
    int result = -1;
    QTimer::singleShot(0, &page, [&] {
        Item<QComboBox>(page, IDC_SCHEDULE_KINDS)->setCurrentIndex(kScheduleWeekly);
        Ok(page);
        EXPECT_TRUE(page.isVisible());
        EXPECT_EQ(Messages(), std::vector<std::string>{"Please select at least one day of the week to run the script"});
        EXPECT_EQ(record.kind, kScheduleDaily);
        pagetest::ClickBox(Item<QCheckBox>(page, IDC_WEEKLY_SUNDAY + 3));
        Ok(page);
    });
    QTimer::singleShot(30000, &page, &Page::reject);  // failure guard
    result = page.DoModal();
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(page.Changed());
    EXPECT_EQ(record.ToBytes(), Expected(kScheduleWeekly, {1, 8}));
}

TEST_F(ScheduleDialogTest, OkOnAnUntouchedDialogLeavesTheRecordAsItWas) {
    Bytes bytes = Expected(kScheduleMonthly, {0, 0, 0, 31, 2});
    bytes[4] = 0;
    ScheduleRecord record = ScheduleRecord::FromBytes(bytes);
    Page page(nullptr, record);
    page.show();
    EXPECT_TRUE(Item<QRadioButton>(page, IDC_MONTHLY_ON_DAY)->isChecked());
    EXPECT_FALSE(Item<CheckedDateEdit>(page, IDC_END_DATE)->IsChecked());
    Ok(page);
    EXPECT_EQ(page.result(), IDOK);
    EXPECT_FALSE(page.Changed());
    EXPECT_EQ(record.ToBytes(), bytes);
}

}  // namespace
