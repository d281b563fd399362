#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "containers/POrderList.h"

namespace {

using IntList = POrderList<int>;

std::vector<int> Contents(const IntList& list) {
    std::vector<int> out;
    for (int32_t i = 0; i < list.Count(); ++i) out.push_back(*list[i]);
    return out;
}

IntList Make(std::initializer_list<int> values, int32_t capacity = 100) {
    IntList list(capacity);
    for (int v : values) list.Add(v);
    return list;
}

void ExpectError(const std::function<void()>& action, const std::string& message) {
    try {
        action();
        FAIL() << "expected " << message;
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

TEST(POrderList, GrowsOneSlotShortOfFullAndKeepsCellsInPlace) {
    IntList list(100);
    std::vector<int*> cells;
    for (int i = 0; i < 99; ++i) cells.push_back(list.Add(i));
    EXPECT_EQ(list.Capacity(), 100);
    int* hundredth = list.Add(99);
    EXPECT_EQ(list.Capacity(), 200);
    EXPECT_EQ(list[99], hundredth);
    for (int i = 0; i < 99; ++i) EXPECT_EQ(list[i], cells[i]) << i;  // growth moves no cell
    for (int i = 0; i < 100; ++i) EXPECT_EQ(*list[i], i);
    list.Clear();
    EXPECT_EQ(list.Capacity(), 200);  // capacity never shrinks
    EXPECT_EQ(list.Count(), 0);
}

TEST(POrderList, MoveDeleteInsertKeepOrder) {
    IntList a = Make({1, 2, 3});
    a.Delete(0);
    EXPECT_EQ(Contents(a), (std::vector<int>{2, 3}));

    IntList b = Make({1, 2, 3});
    b.Move(2, 0);
    EXPECT_EQ(Contents(b), (std::vector<int>{3, 1, 2}));
    IntList c = Make({1, 2, 3});
    c.Move(0, 2);
    EXPECT_EQ(Contents(c), (std::vector<int>{2, 3, 1}));

    IntList d = Make({1, 2, 3});
    d.Insert(9, 0);
    EXPECT_EQ(Contents(d), (std::vector<int>{9, 1, 2, 3}));
    d.Insert(7, d.Count());  // at Count it is a plain Add
    EXPECT_EQ(Contents(d), (std::vector<int>{9, 1, 2, 3, 7}));

    IntList e = Make({1, 2, 3});
    e.InsertList(Make({8, 9}), 1);
    EXPECT_EQ(Contents(e), (std::vector<int>{1, 8, 9, 2, 3}));
    e.Exchange(0, 4);
    e.ExchangeWithLast(1);
    EXPECT_EQ(Contents(e), (std::vector<int>{3, 1, 9, 2, 8}));
}

TEST(POrderList, CellPointersSurviveReordering) {
    IntList list = Make({10, 20, 30, 40});
    int* thirty = list[2];
    list.Move(2, 0);
    list.Exchange(0, 3);
    list.Delete(1);
    EXPECT_EQ(*thirty, 30);
    EXPECT_EQ(list.IndexOfPointer(thirty), list.IndexOf(30));
    list.RemovePointer(thirty);
    EXPECT_FALSE(list.Contains(30));
    EXPECT_EQ(Contents(list), (std::vector<int>{40, 20}));
}

TEST(POrderList, RecycledCellsHoldFreshValues) {
    IntList list(4);
    for (int round = 0; round < 5; ++round) {
        for (int i = 0; i < 10; ++i) list.Add(round * 100 + i);
        EXPECT_EQ(list.Count(), 10);
        for (int i = 0; i < 10; ++i) EXPECT_EQ(*list[i], round * 100 + i);
        list.DeleteLast();
        list.Delete(0);
        EXPECT_EQ(*list[0], round * 100 + 1);
        list.Clear();
    }
}

TEST(POrderList, PositionErrorsLeaveTheListUnchanged) {
    IntList list = Make({1, 2, 3});
    ExpectError([&] { list.Get(-1); }, "Error position!");
    ExpectError([&] { list.Get(3); }, "Error position!");
    ExpectError([&] { list.Move(0, 5); }, "Error position!");
    ExpectError([&] { list.Delete(3); }, "Error position!");
    ExpectError([&] { list.Exchange(-1, 0); }, "Error position!");
    EXPECT_EQ(Contents(list), (std::vector<int>{1, 2, 3}));
    IntList empty(10);
    ExpectError([&] { empty.Last(); }, "Error position!");
    empty.DeleteLast();  // nothing to delete, nothing raised
    empty.Clear();
    EXPECT_EQ(empty.Count(), 0);
}

TEST(POrderList, InsertPastTheEndKeepsTheAppendedValue) {
    IntList list = Make({1, 2});
    ExpectError([&] { list.Insert(9, 5); }, "Error position!");
    EXPECT_EQ(Contents(list), (std::vector<int>{1, 2, 9}));
    ExpectError([&] { list.InsertList(Make({7, 8}), 4); }, "Error position!");
    EXPECT_EQ(Contents(list), (std::vector<int>{1, 2, 9, 7}));  // 8 did not fit
}

TEST(POrderList, SearchesByValueAndByCell) {
    IntList list = Make({5, 6, 5, 7});
    EXPECT_EQ(list.IndexOf(5), 0);
    EXPECT_EQ(list.CountOf(5), 2);
    EXPECT_EQ(list.CountOf(4), 0);
    EXPECT_FALSE(list.Contains(4));
    ExpectError([&] { list.IndexOf(4); }, "Error element!");
    ExpectError([&] { list.Remove(4); }, "Error element!");
    int equalButForeign = 6;
    ExpectError([&] { list.IndexOfPointer(&equalButForeign); }, "Error element pointer!");
    ExpectError([&] { list.ExchangePointer(&equalButForeign, 0); }, "Error element pointer!");
    EXPECT_EQ(Contents(list), (std::vector<int>{5, 6, 5, 7}));

    list.RemoveList(Make({5, 42, 7}));  // 42 is skipped silently
    EXPECT_EQ(Contents(list), (std::vector<int>{6, 5}));
}

TEST(POrderList, EqualityIsPositional) {
    int a = 1, b = 2;
    POrderList<int*> x(10), y(10), z(10);
    x.Add(&a);
    x.Add(&b);
    y.Add(&b);
    y.Add(&a);
    EXPECT_FALSE(x == y);
    z.Add(&a);
    z.Add(&b);
    EXPECT_TRUE(x == z);
    EXPECT_TRUE(POrderList<int*>(5) == POrderList<int*>(7));
    x.Clear();  // a list of pointers never destroys what they point to
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
}

TEST(POrderList, CopiesAreDeepAndTakeTheSourceCapacity) {
    POrderList<std::string> source(3);
    source.Add("one");
    source.Add("two");
    source.Add("three");  // grows to 6
    POrderList<std::string> copy(source);
    EXPECT_EQ(copy.Capacity(), 6);
    EXPECT_TRUE(copy == source);
    *copy[0] = "changed";
    EXPECT_EQ(*source[0], "one");
    POrderList<std::string> assigned(50);
    assigned.Add("old");
    assigned.Assign(source);
    EXPECT_EQ(assigned.Capacity(), 6);
    EXPECT_TRUE(assigned == source);
    assigned.AddList(assigned);  // adding a list to itself doubles it once
    EXPECT_EQ(assigned.Count(), 6);
    EXPECT_EQ(*assigned[5], "three");
}

// Moves have no equality: the list reaches them by position only.
struct NoEquality {
    int v;
};

TEST(POrderList, ElementsWithoutEqualityAreNeverFoundByValue) {
    POrderList<NoEquality> list(10);
    list.Add({1});
    EXPECT_FALSE(list.Contains({1}));
    ExpectError([&] { list.IndexOf({1}); }, "Error element!");
    EXPECT_EQ(list[0]->v, 1);
}

TEST(POrderList, RejectsACapacityBelowOne) {
    ExpectError([] { IntList list(0); }, "Error position!");
}

// A derived list that replaces Add changes every composite operation too.
class CountingList : public IntList {
public:
    CountingList() : IntList(10) {}
    int* Add(const int& v) override {
        ++adds;
        return IntList::Add(v);
    }
    int adds = 0;
};

TEST(POrderList, CompositeOperationsGoThroughTheVirtualTable) {
    CountingList list;
    list.AddList(Make({1, 2, 3}));
    list.Insert(0, 0);
    EXPECT_EQ(list.adds, 4);
}

}  // namespace
