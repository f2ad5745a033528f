#include "engine/core/XmlSerializerTestSupport.h"

#include <vector>

namespace {

template <class T> struct RangeCase
{
    const char* text;
    T expected;
    bool valid;
};

template <class T> void checkRange(const std::vector<RangeCase<T>>& cases)
{
    for (const RangeCase<T>& c : cases) {
        loadXml(std::string("<root><v>") + c.text + "</v></root>", [&](FXmlSerializer& s) {
            T value = 7;
            serializeValue(s, "v", value);
            EXPECT_EQ(value, c.expected) << c.text;
            EXPECT_EQ(s.isValid(), c.valid) << c.text;
        });
    }
}

TEST(FSerializerTest, NarrowIntegersLoadOnlyValuesInsideTheirType)
{
    checkRange<unsigned char>(
        {{"0", 0, true}, {"255", 255, true}, {"256", 7, false}, {"300", 7, false}, {"-1", 7, false}});
    checkRange<short>(
        {{"-32768", -32768, true}, {"32767", 32767, true}, {"32768", 7, false}, {"-32769", 7, false}});
    checkRange<int>({{"-2147483648", -2147483647 - 1, true}, {"2147483647", 2147483647, true}});
}

TEST(FSerializerTest, NarrowIntegersSaveThroughTheOperationOfTheirSignedness)
{
    unsigned char byte = 200;
    short small = -300;
    int whole = -70000;
    FString text(u"\u00e0 la");
    std::string xml = saveXml([&](FXmlSerializer& s) {
        serializeValue(s, "b", byte);
        serializeValue(s, "s", small);
        serializeValue(s, "i", whole);
        serializeValue(s, "t", text);
    });
    EXPECT_EQ(xml, "<root><b>200</b><s>-300</s><i>-70000</i><t>\xC3\xA0 la</t></root>");
}

struct Note
{
    std::int32_t value = -1;
    void serialize(FSerializer& s) { serializeValue(s, "value", value); }
};

TEST(FSerializerTest, ContainersOfConstRecordsSaveButDoNotLoad)
{
    const std::vector<Note> notes{{4}, {5}};
    std::string xml = saveXml([&](FXmlSerializer& s) { serializeContainer(s, "notes", notes); });
    EXPECT_EQ(xml,
              "<root><notes count=\"2\"><_0><value>4</value></_0><_1><value>5</value></_1></notes></root>");

    loadXml(xml, [&](FXmlSerializer& s) {
        serializeContainer(s, "notes", notes);
        EXPECT_EQ(notes.size(), 2u);
        std::vector<Note> loaded;
        serializeContainer(s, "notes", loaded);
        ASSERT_EQ(loaded.size(), 2u);
        EXPECT_EQ(loaded[1].value, 5);
    });
}

TEST(FSerializerTest, ContainerWithoutCountLoadsEmpty)
{
    loadXml("<root><notes><_0><value>4</value></_0></notes></root>", [](FXmlSerializer& s) {
        std::vector<Note> loaded{{1}};
        serializeContainer(s, "notes", loaded);
        EXPECT_TRUE(loaded.empty());
    });
}

TEST(FSerializerTest, ContainerWithMissingItemFails)
{
    expectFailure(
        [] {
            loadXml("<root><notes count=\"2\"><_0><value>4</value></_0></notes></root>",
                    [](FXmlSerializer& s) {
                        std::vector<Note> loaded;
                        serializeContainer(s, "notes", loaded);
                    });
        },
        "Could not go in section _1");
}

// The observer receives every operation as its plain operation of the same
// kind, so a saving observer writes every value, defaults included.
TEST(FSerializerTest, ObserverReceivesEveryWriteAsAPlainWrite)
{
    FRefT<std::ostringstream> observed = makeSignaledRef(engineNew<std::ostringstream>(k_memObject));
    std::string xml;
    {
        FXmlSerializer observer(observed, FXmlSerializer::ForWrite{});
        xml = saveXml([&](FXmlSerializer& s) {
            s.setObserver(&observer);
            s.writeIntDefault("i", 5, 5);
            s.writeBoolDefault("b", true, false);
            s.writeStringDefault("n", FString(u"x"), FString(u"x"));
            std::int32_t count = 1;
            s.beginArray("a", count);
            s.beginItem(0);
            s.writeDouble("d", 1.5);
            s.endItem(0);
            s.endArray("a");
        });
    }
    EXPECT_EQ(xml, "<root><b>true</b><a count=\"1\"><_0><d>1.5</d></_0></a></root>");
    EXPECT_EQ(observed->str(),
              "<root><i>5</i><b>true</b><n>x</n><a count=\"1\"><_0><d>1.5</d></_0></a></root>");
}

TEST(FSerializerTest, ObserverReadsAfterTheSerializer)
{
    FRefT<std::istringstream> observed =
        makeSignaledRef(engineNew<std::istringstream>(k_memObject, "<root><i>2</i></root>"));
    FXmlSerializer observer(observed);
    loadXml("<root><i>1</i></root>", [&](FXmlSerializer& s) {
        s.setObserver(&observer);
        std::int32_t value = 0;
        s.readIntDefault("i", value, 0);
        EXPECT_EQ(value, 2);
    });
}

TEST(FSerializerTest, FieldMasksAreLookedUpAtTheEndOfTheObserverChain)
{
    std::uint32_t own = 0x1;
    std::uint32_t last = 0x2;
    saveXml([&](FXmlSerializer& s) {
        s.setFieldMask(-999997, &own);
        EXPECT_EQ(s.fieldMask(-999997), 0x1u);
        FRefT<std::ostringstream> file = makeSignaledRef(engineNew<std::ostringstream>(k_memObject));
        FXmlSerializer middle(file, FXmlSerializer::ForWrite{});
        FXmlSerializer end(file, FXmlSerializer::ForWrite{});
        s.setObserver(&middle);
        middle.setObserver(&end);
        end.setFieldMask(-999997, &last);
        last = 0x6;
        EXPECT_EQ(s.fieldMask(-999997), 0x6u) << "the mask is read through its pointer";
        expectFailure([&] { s.fieldMask(-1000000); }, "No field mask registered under key -1000000",
                      "core/FSerializer (");
        s.setObserver(nullptr);
    });
}

} // namespace
