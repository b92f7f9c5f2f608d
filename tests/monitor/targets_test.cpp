#include "monitor/targets.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace tarvelin {
namespace {

std::vector<std::string> Titles(const TargetList& targets) {
    std::vector<std::string> titles;
    for (int k = 1; k <= targets.TargetCount(); ++k) titles.push_back(targets.TargetTitle(k));
    return titles;
}

std::vector<std::string> Addresses(const TargetList& targets) {
    std::vector<std::string> addresses;
    for (int k = 1; k <= targets.TargetCount(); ++k) addresses.push_back(targets.TargetAddress(k));
    return addresses;
}

TEST(TargetListTest, AppendTarget_AnyTexts_StoredUnchangedAndNumberedInOrder) {
    TargetList targets;
    const TargetId first = targets.AppendTarget("", " Example.COM ");
    const TargetId second = targets.AppendTarget("dup", "a.cn");
    const TargetId third = targets.AppendTarget("dup", "a.cn");
    EXPECT_EQ(targets.TargetCount(), 3);
    EXPECT_EQ(Titles(targets), (std::vector<std::string>{"", "dup", "dup"}));
    EXPECT_EQ(Addresses(targets), (std::vector<std::string>{" Example.COM ", "a.cn", "a.cn"}));
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, third);
    EXPECT_EQ(targets.Ids(), (std::vector<TargetId>{first, second, third}));
    EXPECT_EQ(targets.NumberOf(third), 3);
}

TEST(TargetListTest, RemoveTarget_EachNumber_RemovesOnlyInsideRange) {
    struct Case {
        int k;
        bool removed;
        std::vector<std::string> titles;
    } const cases[] = {
        {-1, false, {"t1", "t2", "t3"}}, {0, false, {"t1", "t2", "t3"}}, {1, true, {"t2", "t3"}},
        {2, true, {"t1", "t3"}},         {3, true, {"t1", "t2"}},        {4, false, {"t1", "t2", "t3"}},
    };
    for (const auto& c : cases) {
        TargetList targets;
        for (const char* name : {"1", "2", "3"}) targets.AppendTarget(std::string("t") + name, std::string("a") + name);
        EXPECT_EQ(targets.RemoveTarget(c.k), c.removed) << c.k;
        EXPECT_EQ(Titles(targets), c.titles) << c.k;
        // The address list moves in step with the titles.
        for (int k = 1; k <= targets.TargetCount(); ++k) {
            EXPECT_EQ(targets.TargetAddress(k), "a" + targets.TargetTitle(k).substr(1)) << c.k;
        }
    }
}

TEST(TargetListTest, RemoveTarget_Middle_LaterTargetKeepsIdentityAndMovesUp) {
    TargetList targets;
    targets.AppendTarget("t1", "a1");
    const TargetId second = targets.AppendTarget("t2", "a2");
    const TargetId third = targets.AppendTarget("t3", "a3");
    ASSERT_TRUE(targets.RemoveTarget(2));
    EXPECT_EQ(targets.NumberOf(second), 0);
    EXPECT_EQ(targets.AddressOf(second), std::nullopt);
    EXPECT_EQ(targets.NumberOf(third), 2);
    EXPECT_EQ(targets.IdAt(2), third);
    EXPECT_EQ(targets.AddressOf(third), "a3");
    // A new target never takes an old identity.
    EXPECT_NE(targets.AppendTarget("t2", "a2"), second);
}

TEST(TargetListTest, Readers_OutsideRange_GetEmptyValues) {
    TargetList targets;
    targets.AppendTarget("t1", "a1");
    for (const int k : {-5, 0, 2, 1000}) {
        EXPECT_EQ(targets.TargetTitle(k), "") << k;
        EXPECT_EQ(targets.TargetAddress(k), "") << k;
        EXPECT_EQ(targets.IdAt(k), 0u) << k;
    }
    EXPECT_EQ(targets.NumberOf(0), 0);
    EXPECT_EQ(targets.AddressOf(0), std::nullopt);
}

TEST(TargetListTest, Lookup_AfterListDestroyed_FindsNothing) {
    auto targets = std::make_unique<TargetList>();
    const TargetId id = targets->AppendTarget("t", "a");
    const TargetLookup lookup = targets->Lookup();
    EXPECT_EQ(lookup.AddressOf(id), "a");
    targets.reset();
    EXPECT_EQ(lookup.AddressOf(id), std::nullopt);
}

TEST(TargetListTest, WorkersReading_WhileListChanges_SeeWholeTargetsOnly) {
    TargetList targets;
    const TargetId kept = targets.AppendTarget("kept", "kept.example");
    const TargetLookup lookup = targets.Lookup();
    std::atomic<bool> stop = false;
    std::atomic<int> torn = 0;
    std::vector<std::thread> readers;
    for (int i = 0; i < 4; ++i) {
        readers.emplace_back([&] {
            while (!stop) {
                if (lookup.AddressOf(kept) != "kept.example") ++torn;
                const std::string address = targets.TargetAddress(2);
                if (!address.empty() && address.rfind("churn", 0) != 0) ++torn;
            }
        });
    }
    for (int i = 0; i < 2000; ++i) {
        targets.AppendTarget("title", "churn" + std::to_string(i));
        targets.RemoveTarget(2);
    }
    stop = true;
    for (auto& reader : readers) reader.join();
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(targets.TargetCount(), 1);
}

}  // namespace
}  // namespace tarvelin
