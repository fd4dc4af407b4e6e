// The global value list: order of the appends, the head that stands for an empty list, and appends
// that find no memory.
#include "harness.h"

#include <cstdlib>
#include <new>

namespace {
bool s_refuseAllocations = false;
}

// The list allocates its nodes with the non-throwing new: the tests can make it run out of memory.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return s_refuseAllocations ? nullptr : std::malloc(size ? size : 1);
}

namespace {

std::vector<DWORD> Values() {
    std::vector<DWORD> values;
    for (const ValueListNode* node = g_ValueList; node; node = node->GetNext()) {
        values.push_back(node->value);
    }
    return values;
}

// Each case gets a fresh list in place of the program's, which is put back afterwards.
class ValueListTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_programList = g_ValueList;
        g_ValueList = InitValueList();
        ASSERT_NE(g_ValueList, nullptr);
    }
    void TearDown() override {
        s_refuseAllocations = false;
        while (g_ValueList) {
            ValueListNode* next = g_ValueList->GetNext();
            delete g_ValueList;
            g_ValueList = next;
        }
        g_ValueList = m_programList;
    }
    ValueListNode* m_programList = nullptr;
};

TEST_F(ValueListTest, TheProgramStartsWithAnEmptyHead) {
    ASSERT_NE(m_programList, nullptr) << "made before main";
    EXPECT_EQ(m_programList->value, 0u);
    EXPECT_EQ(m_programList->GetNext(), nullptr);
}

TEST_F(ValueListTest, AppendsKeepTheirOrderAndZeroCountsAfterTheHead) {
    ValueList::Append(7);
    EXPECT_EQ(Values(), (std::vector<DWORD>{7}));
    ValueList::Append(0);
    EXPECT_EQ(Values(), (std::vector<DWORD>{7, 0})) << "a second node holding 0";
    ValueList::Append(0xFFFFFFFF);
    ValueList::Append(9);
    EXPECT_EQ(Values(), (std::vector<DWORD>{7, 0, 0xFFFFFFFF, 9}));
}

TEST_F(ValueListTest, ZeroOnAnEmptyListLeavesItEmpty) {
    ValueList::Append(0);
    EXPECT_EQ(Values(), (std::vector<DWORD>{0}));
    ValueList::Append(5);
    EXPECT_EQ(Values(), (std::vector<DWORD>{5})) << "the next append fills the head";
}

TEST_F(ValueListTest, AnAppendWithoutMemoryIsDroppedAndTheListStaysWhole) {
    ValueList::Append(7);
    s_refuseAllocations = true;
    ValueList::Append(8);
    EXPECT_EQ(Values(), (std::vector<DWORD>{7}));
    s_refuseAllocations = false;
    ValueList::Append(9);
    EXPECT_EQ(Values(), (std::vector<DWORD>{7, 9}));
}

TEST_F(ValueListTest, AHeadThatCouldNotBeMadeAtStartIsMadeByTheNextAppend) {
    delete g_ValueList;
    s_refuseAllocations = true;
    g_ValueList = InitValueList();
    EXPECT_EQ(g_ValueList, nullptr);
    ValueList::Append(4);
    EXPECT_EQ(g_ValueList, nullptr) << "still no memory: the value is dropped";
    s_refuseAllocations = false;
    ValueList::Append(4);
    EXPECT_EQ(Values(), (std::vector<DWORD>{4}));
    ValueList::Append(6);
    EXPECT_EQ(Values(), (std::vector<DWORD>{4, 6}));
}

} // namespace
