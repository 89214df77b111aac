#include "mregistry.h"

#include <gtest/gtest.h>

#include "stand_ins.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
const registry::Key kRoot = registry::kLocalMachine;

class MRegistryTest : public ::testing::Test {
protected:
    // Every key an operation opens is closed again, and the caller's root never.
    void TearDown() override {
        EXPECT_TRUE(fake.open.empty());
        EXPECT_EQ(fake.rootCloses + fake.strayCloses, 0);
    }
    std::wstring ErrorReading(const std::wstring& name) {
        return ErrorOf([&] { reg.GetRegistryValue(kRoot, L"K", name, L"a default does not help"); });
    }

    FakeRegistry fake;
    MRegistry reg{fake};
};

TEST_F(MRegistryTest, KeyExistsOnlyForKeysThatOpenForReading) {
    fake.AddKey("K");
    fake.AddKey("Locked");
    fake.denied.insert("Locked");
    EXPECT_TRUE(reg.KeyExists(kRoot, L"K"));
    EXPECT_TRUE(reg.KeyExists(kRoot, L""));
    EXPECT_FALSE(reg.KeyExists(kRoot, L"Missing"));
    EXPECT_FALSE(reg.KeyExists(kRoot, L"Locked"));
}

TEST_F(MRegistryTest, ListsDirectSubkeysInPlatformOrderUntilAnyFailure) {
    for (const char* key : {"K\\1.5", "K\\1.3", "K\\1.4\\nested", "Empty"}) fake.AddKey(key);
    fake.AddKey("K\\" + std::string(259, 'n'));  // the longest name: 260 bytes with its NUL
    fake.AddKey("K\\caf\xE9");
    EXPECT_EQ(reg.EnumRegistryKeys(kRoot, L"K"),
              (SubkeyList{L"1.5", L"1.3", L"1.4", std::wstring(259, L'n'), L"caf\u00E9"}));
    // An empty path lists the handle passed in, which stays open.
    EXPECT_EQ(reg.EnumRegistryKeys(kRoot, L""), (SubkeyList{L"K", L"Empty"}));
    EXPECT_TRUE(reg.EnumRegistryKeys(kRoot, L"Empty").empty());
    EXPECT_TRUE(reg.EnumRegistryKeys(kRoot, L"Missing").empty());
    for (const registry::Status status : {5, 234, 1011}) {
        fake.failEnumeration["K"] = {1, status};
        EXPECT_EQ(reg.EnumRegistryKeys(kRoot, L"K"), (SubkeyList{L"1.5"})) << status;
    }
}

TEST_F(MRegistryTest, ConvertsEachValueByItsType) {
    const struct {
        std::uint32_t type;
        Bytes data;
        Variant expected;
    } cases[] = {
        {registry::kString, {'a', 'b', 'c', 0}, L"abc"},
        {registry::kString, {0}, L""},
        {registry::kString, {}, L""},
        {registry::kString, {'a', 0, 'b', 0}, std::wstring(L"a\0b", 3)},
        {registry::kString, {'C', ':', '\\', 0xE9, 0}, L"C:\\\u00E9"},
        {registry::kString, Bytes(1024, 'x'), std::wstring(1023, L'x')},
        {registry::kString, Bytes(1025, 'x'), std::wstring(1024, L'x')},
        {registry::kExpandString, {'%', 'S', '%', '\\', 'b', 0}, L"%S%\\b"},
        {registry::kMultiString, {'a', 0, 'b', 0, 0}, std::wstring(L"a\0b", 3)},
        {registry::kMultiString, {0}, L""},
        {registry::kDword, {0xFF, 0xFF, 0xFF, 0xFF}, std::int32_t{-1}},
        {registry::kDword, {0x01, 0x00, 0x00, 0x00}, std::int32_t{1}},
        {registry::kDword, {0x01, 0x02}, std::int32_t{0x0201}},
        {registry::kBinary, {7, 0, 9}, Bytes{7, 0, 9}},
        {registry::kBinary, {}, Bytes{}},
        {registry::kBinary, Bytes(70000, 1), Bytes(70000, 1)},
    };
    for (const auto& c : cases) {
        fake.SetValue("K", "v", c.type, c.data);
        EXPECT_EQ(reg.GetRegistryValue(kRoot, L"K", L"v"), c.expected) << c.type << ", " << c.data.size() << " bytes";
    }
}

TEST_F(MRegistryTest, UnopenableKeyGivesTheDefaultButMissingOrOddValuesRaise1001) {
    fake.SetString("Locked", "v", "x");
    fake.denied.insert("Locked");
    EXPECT_EQ(reg.GetRegistryValue(kRoot, L"Missing", L"v"), Variant());
    EXPECT_EQ(reg.GetRegistryValue(kRoot, L"Missing", L"v", std::int32_t{42}), Variant(std::int32_t{42}));
    EXPECT_EQ(reg.GetRegistryValue(kRoot, L"Locked", L"v", L"fallback"), Variant(L"fallback"));

    fake.AddKey("K");
    EXPECT_EQ(ErrorReading(L"absent"), L"1001 Unsupported value type");
    for (const std::uint32_t type : {0u, 5u, 6u, 11u, 12u}) {
        fake.SetValue("K", "odd", type, {1, 2, 3, 4, 5, 6, 7, 8});
        EXPECT_EQ(ErrorReading(L"odd"), L"1001 Unsupported value type") << type;
    }
}

TEST_F(MRegistryTest, ValueThatGrowsBetweenQueriesIsChasedThenGivenUp) {
    fake.SetValue("K", "v", registry::kString, Bytes(2000, 'x'));
    fake.values[{"K", "v"}].growth = 10;
    fake.values[{"K", "v"}].growths = 1;
    // 2000 bytes do not fit the first buffer; by the second query they are 2010.
    EXPECT_EQ(reg.GetRegistryValue(kRoot, L"K", L"v"), Variant(std::wstring(10, L'g') + std::wstring(1999, L'x')));
    fake.values[{"K", "v"}].growth = 5000;
    fake.values[{"K", "v"}].growths = 1000;
    EXPECT_EQ(ErrorReading(L"v"), L"1001 Unsupported value type");
}

}  // namespace
