// The settings dialog's refusal rule: which texts each field accepts, and
// which field is named first.
#include <gtest/gtest.h>

#include "../../modules/setup/logic/setup.h"

namespace {

const TEditField& Field(int id)
{
    for (const TEditField& field : kEditFields)
        if (field.Id == id)
            return field;
    ADD_FAILURE() << "no field " << id;
    return kEditFields[0];
}

} // namespace

TEST(SetupEdits, EachFieldAcceptsDigitsWithinItsRangeOnly)
{
    struct Row {
        int id;
        const char* text;
        bool accepted;
    };
    const Row rows[] = {
        // the interval, 0..99 minutes: 0 switches the automatic cleaning off
        {300, "0", true},
        {300, "99", true},
        {300, "5", true},
        {300, "00", true},
        {300, "100", false},
        {300, "99999", false}, // not read as its first two characters
        {300, "", false},
        {300, "abc", false},
        {300, "-5", false},
        {300, "-0", false},
        {300, "+5", false},
        {300, " 5", false},
        {300, "5 ", false},
        {300, "1a", false},
        // the automatic cleaning's percentage, 1..99
        {302, "1", true},
        {302, "99", true},
        {302, "0", false},
        {302, "00", false},
        {302, "100", false},
        // the critical threshold, 1..100
        {303, "1", true},
        {303, "100", true},
        {303, "0", false},
        {303, "101", false},
        {303, "", false},
        {303, "0100", false}, // four characters in a field of three
        // the critical cleaning's percentage, 1..100
        {304, "1", true},
        {304, "100", true},
        {304, "0", false},
        {304, "255", false},
        // the processor limit, 0..100
        {305, "0", true},
        {305, "100", true},
        {305, "101", false},
        {305, "-5", false},
        {305, "251", false},
        // the refresh period, 100..9999 ms
        {301, "100", true},
        {301, "9999", true},
        {301, "500", true},
        {301, "99", false},
        {301, "0", false},
        {301, "10000", false},
        {301, "65535", false},
        {301, "", false},
        {301, "\xCF\xEE", false}, // Cyrillic letters in the ANSI code page
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.accepted, EditAccepts(row.text, Field(row.id)))
            << "field " << row.id << " text \"" << row.text << "\"";
}

TEST(SetupEdits, TheFirstRefusedFieldIsNamed)
{
    struct Row {
        const char* texts[kEditFieldCount]; // 300, 302, 303, 304, 305, 301
        int refused;                        // index, -1 for none
    };
    const Row rows[] = {
        {{"30", "45", "95", "25", "80", "500"}, -1},
        {{"0", "1", "1", "1", "0", "100"}, -1},
        {{"99", "99", "100", "100", "100", "9999"}, -1},
        // the five inputs of the report, one field each
        {{"abc", "45", "95", "25", "80", "500"}, 0},
        {{"30", "99999", "95", "25", "80", "500"}, 1},
        {{"30", "45", "", "25", "80", "500"}, 2},
        {{"30", "45", "95", "0", "80", "500"}, 3},
        {{"30", "45", "95", "25", "-5", "500"}, 4},
        {{"30", "45", "95", "25", "80", "99"}, 5},
        // several at once: the one highest in the dialog
        {{"30", "45", "", "25", "-5", "0"}, 2},
        {{"abc", "99999", "", "0", "-5", "0"}, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.refused, FirstRefusedEdit(row.texts)) << row.texts[0] << " " << row.texts[1];
}

// An "OK" writes only what changes, and never a second value that would
// start the program twice at logon (an administrator's machine value and a
// plain user's OK).
TEST(SetupAutostart, WritesOnlyAChangeAndNeverBothValues)
{
    // {wanted, the machine's value starts it, the user's does, plan}
    const int rows[][4] = {{1, 0, 0, AutostartWriteMachine},
                           {1, 1, 0, 0},
                           {1, 0, 1, 0},
                           {1, 1, 1, AutostartRemoveUser},
                           {0, 0, 0, 0},
                           {0, 1, 0, AutostartRemoveMachine},
                           {0, 0, 1, AutostartRemoveUser},
                           {0, 1, 1, AutostartRemoveMachine | AutostartRemoveUser}};
    for (const auto& r : rows)
        EXPECT_EQ(r[3], PlanAutostart(r[0], r[1], r[2])) << r[0] << r[1] << r[2];
}
