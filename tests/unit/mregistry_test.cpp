#include "mregistry.h"

#include <gtest/gtest.h>

#include "app_error.h"
#include "fake_registry.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
const std::string kKey = "SOFTWARE\\Test";
const std::wstring kWideKey = L"SOFTWARE\\Test";

class MRegistryTest : public ::testing::Test {
protected:
    // Every key an operation opens is closed again, and the caller's root never.
    void TearDown() override {
        EXPECT_EQ(fake.OpenHandles(), 0);
        EXPECT_EQ(fake.RootCloses(), 0);
        EXPECT_EQ(fake.StrayCloses(), 0);
    }

    Variant Read(std::uint32_t type, Bytes data) {
        fake.SetValue(kKey, "v", type, std::move(data));
        return reg.GetRegistryValue(registry::kLocalMachine, kWideKey, L"v");
    }

    void ExpectUnsupported(const std::wstring& name, Variant fallback = {}) {
        try {
            reg.GetRegistryValue(registry::kLocalMachine, kWideKey, name, fallback);
            ADD_FAILURE() << "no error raised";
        } catch (const AppError& error) {
            EXPECT_EQ(error.number, 1001);
            EXPECT_EQ(error.description, L"Unsupported value type");
        }
    }

    FakeRegistry fake;
    MRegistry reg{fake};
};

TEST_F(MRegistryTest, KeyExistsOnlyForKeysThatOpenForReading) {
    fake.AddKey(kKey);
    fake.DenyAccess("SOFTWARE\\Locked");
    EXPECT_TRUE(reg.KeyExists(registry::kLocalMachine, kWideKey));
    EXPECT_TRUE(reg.KeyExists(registry::kLocalMachine, L""));
    EXPECT_FALSE(reg.KeyExists(registry::kLocalMachine, L"SOFTWARE\\Missing"));
    EXPECT_FALSE(reg.KeyExists(registry::kLocalMachine, L"SOFTWARE\\Locked"));
}

TEST_F(MRegistryTest, EnumeratesSubkeysInPlatformOrderNotSorted) {
    for (const char* name : {"1.5", "1.3", "1.4"}) fake.AddKey(kKey + "\\" + name);
    fake.AddKey(kKey + "\\1.4\\nested");
    EXPECT_EQ(reg.EnumRegistryKeys(registry::kLocalMachine, kWideKey), (SubkeyList{L"1.5", L"1.3", L"1.4"}));
    // An empty path lists the handle passed in, which stays open.
    EXPECT_EQ(reg.EnumRegistryKeys(registry::kLocalMachine, L""), (SubkeyList{L"SOFTWARE"}));
}

TEST_F(MRegistryTest, EnumerationOfNothingIsAnEmptyList) {
    fake.AddKey(kKey);
    EXPECT_TRUE(reg.EnumRegistryKeys(registry::kLocalMachine, kWideKey).empty());
    EXPECT_TRUE(reg.EnumRegistryKeys(registry::kLocalMachine, L"SOFTWARE\\Missing").empty());
}

TEST_F(MRegistryTest, EnumerationThatFailsPartWayKeepsTheNamesBefore) {
    for (const char* name : {"1.3", "1.4", "1.5"}) fake.AddKey(kKey + "\\" + name);
    for (const registry::Status status : {5, 234, 1011}) {
        fake.FailEnumerationAt(kKey, 1, status);
        EXPECT_EQ(reg.EnumRegistryKeys(registry::kLocalMachine, kWideKey), (SubkeyList{L"1.3"})) << status;
    }
}

TEST_F(MRegistryTest, SubkeyNamesComeBackWholeAndDecoded) {
    const std::string longest(259, 'n');
    fake.AddKey(kKey + "\\" + longest);
    fake.AddKey(kKey + "\\caf\xE9");
    EXPECT_EQ(reg.EnumRegistryKeys(registry::kLocalMachine, kWideKey),
              (SubkeyList{std::wstring(259, L'n'), L"caf\u00E9"}));
}

TEST_F(MRegistryTest, StringValuesDropTheirTerminatorsOnly) {
    EXPECT_EQ(Read(registry::kString, {'a', 'b', 'c', 0}), Variant(L"abc"));
    EXPECT_EQ(Read(registry::kString, {0}), Variant(L""));
    EXPECT_EQ(Read(registry::kString, {}), Variant(L""));
    EXPECT_EQ(Read(registry::kString, {'a', 0, 'b', 0}), Variant(std::wstring(L"a\0b", 3)));
    EXPECT_EQ(Read(registry::kString, {'C', ':', '\\', 0xE9, 0}), Variant(L"C:\\\u00E9"));
    const std::string expand = "%SystemRoot%\\bin";
    Bytes data(expand.begin(), expand.end());
    data.push_back(0);
    EXPECT_EQ(Read(registry::kExpandString, data), Variant(L"%SystemRoot%\\bin"));
    EXPECT_EQ(Read(registry::kMultiString, {'a', 0, 'b', 0, 0}), Variant(std::wstring(L"a\0b", 3)));
    EXPECT_EQ(Read(registry::kMultiString, {0}), Variant(L""));
}

TEST_F(MRegistryTest, NumbersAndBytesKeepTheirValues) {
    EXPECT_EQ(Read(registry::kDword, {0xFF, 0xFF, 0xFF, 0xFF}), Variant(std::int32_t{-1}));
    EXPECT_EQ(Read(registry::kDword, {0x01, 0x00, 0x00, 0x00}), Variant(std::int32_t{1}));
    EXPECT_EQ(Read(registry::kDword, {0x01, 0x02}), Variant(std::int32_t{0x0201}));
    EXPECT_EQ(Read(registry::kBinary, {7, 0, 9}), Variant(Bytes{7, 0, 9}));
    EXPECT_EQ(Read(registry::kBinary, {}), Variant(Bytes{}));
}

TEST_F(MRegistryTest, KeyThatCannotBeOpenedGivesTheDefaultUnchanged) {
    EXPECT_EQ(reg.GetRegistryValue(registry::kLocalMachine, L"SOFTWARE\\Missing", L"v"), Variant());
    EXPECT_EQ(reg.GetRegistryValue(registry::kLocalMachine, L"SOFTWARE\\Missing", L"v", std::int32_t{42}),
              Variant(std::int32_t{42}));
    fake.DenyAccess(kKey);
    EXPECT_EQ(reg.GetRegistryValue(registry::kLocalMachine, kWideKey, L"v", L"fallback"), Variant(L"fallback"));
}

TEST_F(MRegistryTest, MissingValueOrTypeWithoutConversionRaises1001) {
    fake.AddKey(kKey);
    ExpectUnsupported(L"absent", L"a default does not help");
    for (const std::uint32_t type : {0u, 5u, 6u, 11u, 12u}) {
        fake.SetValue(kKey, "odd", type, {1, 2, 3, 4, 5, 6, 7, 8});
        ExpectUnsupported(L"odd");
    }
}

TEST_F(MRegistryTest, LargeValuesAreReadWholeWithOneMoreQuery) {
    EXPECT_EQ(Read(registry::kString, Bytes(1024, 'x')), Variant(std::wstring(1023, L'x')));
    EXPECT_EQ(fake.Queries(), 1);
    EXPECT_EQ(Read(registry::kString, Bytes(1025, 'x')), Variant(std::wstring(1024, L'x')));
    EXPECT_EQ(fake.Queries(), 3);
    EXPECT_EQ(Read(registry::kBinary, Bytes(70000, 1)), Variant(Bytes(70000, 1)));
}

TEST_F(MRegistryTest, ValueThatGrowsBetweenQueriesIsChasedThenGivenUp) {
    fake.SetValue(kKey, "v", registry::kString, Bytes(2000, 'x'));
    fake.GrowAfterQueries(kKey, "v", 10, 1);
    // 2000 bytes do not fit the first buffer; by the second query they are 2010.
    EXPECT_EQ(reg.GetRegistryValue(registry::kLocalMachine, kWideKey, L"v"),
              Variant(std::wstring(10, L'g') + std::wstring(1999, L'x')));
    EXPECT_EQ(fake.Queries(), 3);

    fake.SetValue(kKey, "w", registry::kString, Bytes(2000, 'x'));
    fake.GrowAfterQueries(kKey, "w", 5000, 1000);
    ExpectUnsupported(L"w");
}

}  // namespace
