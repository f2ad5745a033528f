#include "engine/core/XmlSerializerTestSupport.h"

#include <cstring>
#include <limits>

namespace {

struct SavedForm
{
    const char* what;
    std::function<void(FXmlSerializer&)> body;
    std::string xml;
};

TEST(FXmlSerializerTest, SavesTheCompactForm)
{
    static const char* const k_default = "same";
    char otherBuffer[] = "same";
    const SavedForm cases[] = {
        {"nothing", [](FXmlSerializer&) {}, "<root />"},
        {"bool true", [](FXmlSerializer& s) { s.writeBool("a", true); }, "<root><a>true</a></root>"},
        {"bool false", [](FXmlSerializer& s) { s.writeBool("a", false); }, "<root><a>false</a></root>"},
        {"unsigned max", [](FXmlSerializer& s) { s.writeUInt("u", 4294967295u); },
         "<root><u>4294967295</u></root>"},
        {"int min", [](FXmlSerializer& s) { s.writeInt("i", std::numeric_limits<std::int32_t>::min()); },
         "<root><i>-2147483648</i></root>"},
        {"double short", [](FXmlSerializer& s) { s.writeDouble("d", 0.1); }, "<root><d>0.1</d></root>"},
        {"double whole", [](FXmlSerializer& s) { s.writeDouble("d", 2.0); }, "<root><d>2</d></root>"},
        {"double 6 digits", [](FXmlSerializer& s) { s.writeDouble("d", 1234567.0); },
         "<root><d>1.23457e+06</d></root>"},
        {"C text escaped", [](FXmlSerializer& s) { s.writeCString("c", "a<b&c"); },
         "<root><c>a&lt;b&amp;c</c></root>"},
        {"FString ASCII", [](FXmlSerializer& s) { s.writeString("n", FString(u"Bob")); },
         "<root><n>Bob</n></root>"},
        {"FString accent as UTF-8", [](FXmlSerializer& s) { s.writeString("n", FString(u"\u00e9")); },
         "<root><n>\xC3\xA9</n></root>"},
        {"FString beyond the BMP as four bytes",
         [](FXmlSerializer& s) { s.writeString("n", FString(u"a\U0001F600")); },
         "<root><n>a\xF0\x9F\x98\x80</n></root>"},
        {"unpaired surrogates as '-'",
         [](FXmlSerializer& s) { s.writeString("n", FString(std::u16string_view(u"a\xD83D|\xDE00", 4))); },
         "<root><n>a-|-</n></root>"},
        {"empty FString", [](FXmlSerializer& s) { s.writeString("n", FString()); }, "<root><n></n></root>"},
        {"name written twice keeps both",
         [](FXmlSerializer& s) {
             s.writeInt("x", 1);
             s.writeInt("x", 2);
         },
         "<root><x>1</x><x>2</x></root>"},
        {"array of three",
         [](FXmlSerializer& s) {
             std::int32_t count = 3;
             s.beginArray("list", count);
             for (std::int32_t i = 0; i < count; ++i) {
                 s.beginItem(i);
                 s.writeInt("v", i * 10);
                 s.endItem(i);
             }
             s.endArray("list");
         },
         "<root><list count=\"3\"><_0><v>0</v></_0><_1><v>10</v></_1><_2><v>20</v></_2></list></root>"},
        {"array without count",
         [](FXmlSerializer& s) {
             std::int32_t count = -1;
             s.beginArray("list", count);
             s.endArray("list");
         },
         "<root><list /></root>"},
        {"defaults equal to the value",
         [](FXmlSerializer& s) {
             s.writeBoolDefault("b", true, true);
             s.writeUIntDefault("u", 5u, 5u);
             s.writeIntDefault("i", -5, -5);
             s.writeDoubleDefault("d", 0.5, 0.5);
             s.writeCStringDefault("c", k_default, k_default);
             s.writeStringDefault("n", FString(u"x"), FString(u"x"));
         },
         "<root />"},
        {"defaults differing from the value",
         [](FXmlSerializer& s) {
             s.writeBoolDefault("b", false, true);
             s.writeUIntDefault("u", 6u, 5u);
             s.writeIntDefault("i", 5, -5);
             s.writeDoubleDefault("d", 0.25, 0.5);
             s.writeStringDefault("n", FString(u"y"), FString(u"x"));
         },
         "<root><b>false</b><u>6</u><i>5</i><d>0.25</d><n>y</n></root>"},
        // C texts compare by pointer: an equal text in another buffer is written.
        {"C text default in another buffer",
         [&otherBuffer](FXmlSerializer& s) { s.writeCStringDefault("c", otherBuffer, k_default); },
         "<root><c>same</c></root>"},
    };
    for (const SavedForm& form : cases) {
        EXPECT_EQ(saveXml(form.body), form.xml) << form.what;
    }
}

TEST(FXmlSerializerTest, ReadsBoolsAsTrueOnlyForTrueOrOne)
{
    const struct
    {
        const char* xml;
        bool defaultValue;
        bool expected;
    } cases[] = {
        {"<root />", true, true},
        {"<root />", false, false},
        {"<root><b>true</b></root>", false, true},
        {"<root><b>1</b></root>", false, true},
        {"<root><b>yes</b></root>", true, false},
        {"<root><b>TRUE</b></root>", true, false},
    };
    for (const auto& c : cases) {
        loadXml(c.xml, [&](FXmlSerializer& s) {
            bool value = !c.expected;
            s.readBoolDefault("b", value, c.defaultValue);
            EXPECT_EQ(value, c.expected) << c.xml;
        });
    }
}

TEST(FXmlSerializerTest, ReadsNumbersAsAStreamExtractsThem)
{
    const struct
    {
        const char* text;
        std::uint32_t expected;
        bool valid;
    } cases[] = {
        {"12", 12, true}, {"12abc", 12, true}, {"  7", 7, true}, {"abc", 99, false}, {"-", 99, false},
    };
    for (const auto& c : cases) {
        loadXml(std::string("<root><u>") + c.text + "</u></root>", [&](FXmlSerializer& s) {
            std::uint32_t value = 99;
            s.readUInt("u", value);
            EXPECT_EQ(value, c.expected) << c.text;
            EXPECT_EQ(s.isValid(), c.valid) << c.text;
        });
    }
    loadXml("<root><i>-2147483648</i><d>1.5e3</d><x>oops</x></root>", [](FXmlSerializer& s) {
        std::int32_t i = 0;
        double d = 0;
        s.readInt("i", i);
        s.readDouble("d", d);
        EXPECT_EQ(i, std::numeric_limits<std::int32_t>::min());
        EXPECT_EQ(d, 1500.0);
        EXPECT_TRUE(s.isValid());
        s.readDouble("x", d);
        EXPECT_FALSE(s.isValid());
        EXPECT_EQ(d, 1500.0);
    });
}

TEST(FXmlSerializerTest, MissingValuesTakeTheirDefaults)
{
    loadXml("<root><bad>x</bad></root>", [](FXmlSerializer& s) {
        std::int32_t bad = 0;
        s.readInt("bad", bad);
        ASSERT_FALSE(s.isValid());
        std::uint32_t u = 0;
        std::int32_t i = 0;
        double d = 0;
        FString n;
        char* c = nullptr;
        s.readUIntDefault("u", u, 7u);
        EXPECT_TRUE(s.isValid());
        s.readIntDefault("i", i, -7);
        s.readDoubleDefault("d", d, 0.1234567891);
        s.readStringDefault("n", n, FString(u"Zo\u00e9"));
        s.readCStringDefault("c", c, "text");
        EXPECT_EQ(u, 7u);
        EXPECT_EQ(i, -7);
        EXPECT_EQ(d, 0.1234567891);
        EXPECT_EQ(n, u"Zo\u00e9");
        ASSERT_NE(c, nullptr);
        EXPECT_STREQ(c, "text");
        engineFree(c);
    });
}

struct Entry
{
    std::int32_t id = 0;
    FString label;

    void serialize(FSerializer& s)
    {
        serializeValue(s, "id", id);
        serializeValue(s, "label", label);
    }
};

TEST(FXmlSerializerTest, EveryKindRoundTrips)
{
    const FString name(u"Zo\u00e9 M\u00fcller \u20ac");
    std::vector<Entry> entries{{1, FString(u"one")}, {-2, FString()}, {3, FString(u"\u00e7a")}};
    std::string xml = saveXml([&](FXmlSerializer& s) {
        s.writeBool("b", true);
        s.writeUInt("u", 4000000000u);
        s.writeInt("i", -123456);
        s.writeDouble("d", -0.015625);
        s.writeCString("c", "tab\tand \"quotes\" & <tags>");
        s.writeCString("empty", "");
        s.writeString("n", name);
        s.writeString("blank", FString());
        s.writeString("spaced", FString(u"  two  spaces "));
        serializeContainer(s, "entries", entries);
    });

    loadXml(xml, [&](FXmlSerializer& s) {
        bool b = false;
        std::uint32_t u = 0;
        std::int32_t i = 0;
        double d = 0;
        char* c = nullptr;
        char* empty = nullptr;
        FString n;
        FString blank(u"not yet");
        std::vector<Entry> loaded{{9, FString(u"stale")}};
        s.readBool("b", b);
        s.readUInt("u", u);
        s.readInt("i", i);
        s.readDouble("d", d);
        s.readCString("c", c);
        s.readCString("empty", empty);
        s.readString("n", n);
        s.readString("blank", blank);
        FString spaced;
        s.readString("spaced", spaced);
        serializeContainer(s, "entries", loaded);
        EXPECT_TRUE(b);
        EXPECT_EQ(u, 4000000000u);
        EXPECT_EQ(i, -123456);
        EXPECT_EQ(d, -0.015625);
        ASSERT_NE(c, nullptr);
        EXPECT_STREQ(c, "tab\tand \"quotes\" & <tags>");
        ASSERT_NE(empty, nullptr);
        EXPECT_STREQ(empty, "");
        EXPECT_EQ(n, name);
        EXPECT_TRUE(blank.empty());
        EXPECT_EQ(spaced, FString(u"  two  spaces "));
        ASSERT_EQ(loaded.size(), entries.size());
        for (std::size_t k = 0; k < entries.size(); ++k) {
            EXPECT_EQ(loaded[k].id, entries[k].id);
            EXPECT_EQ(loaded[k].label, entries[k].label);
        }
        EXPECT_TRUE(s.isValid());
        engineFree(c);
        engineFree(empty);
    });
}

// A player's text comes back exactly as it was typed, across the edges of
// the encodings and made only of what an XML reader would skip.
TEST(FXmlSerializerTest, EveryValidTextRoundTrips)
{
    const std::u16string texts[] = {
        u"\u007F",
        u"\u0080\u07FF\u0800",
        u"\uD7FF",
        u"\uE000",
        u"\uFFFD",
        u"\uFFFE",
        u"\uFFFF",
        u"\uFEFF",
        u"a\uFFFFb",
        u"\U00010000",
        u"\U0001F600",
        u"\U0010FFFF",
        u"Zo\u00e9 \U0001F600 \U0001F3C6!",
        u" ",
        u"   ",
        u"\t",
        u" \t\n\r ",
        u"a\r\nb\tc\n",
        u"\uFFFF \uFEFF",
        u"]]>",
        u" ]]> ",
        u"  <a> & \"b\"  ",
    };
    for (const std::u16string& text : texts) {
        const FString value{std::u16string_view(text)};
        SCOPED_TRACE(utf8(value));
        std::string xml = saveXml([&](FXmlSerializer& s) {
            s.writeString("text", value);
            s.writeInt("after", 7);
        });
        loadXml(xml, [&](FXmlSerializer& s) {
            FString loaded(u"not yet");
            std::int32_t after = 0;
            s.readString("text", loaded);
            s.readInt("after", after);
            EXPECT_EQ(loaded, value) << xml;
            EXPECT_EQ(after, 7);
            EXPECT_TRUE(s.isValid());
        });
    }
}

TEST(FXmlSerializerTest, ReadsArrayCounts)
{
    loadXml("<root><a count=\"3\" /><b /><c count=\"-1\" /></root>", [](FXmlSerializer& s) {
        const struct
        {
            const char* name;
            std::int32_t expected;
        } arrays[] = {{"a", 3}, {"b", -1}, {"c", -1}};
        for (const auto& array : arrays) {
            std::int32_t count = 42;
            s.beginArray(array.name, count);
            s.endArray(array.name);
            EXPECT_EQ(count, array.expected) << array.name;
        }
    });
}

TEST(FXmlSerializerTest, ReportsMissingAndMalformedContent)
{
    const struct
    {
        const char* xml;
        std::function<void(FXmlSerializer&)> body;
        const char* message;
    } cases[] = {
        {"<other />", [](FXmlSerializer&) {}, "Could not go in section root"},
        {"", [](FXmlSerializer&) {}, "Could not go in section root"},
        {"garbage <root />", [](FXmlSerializer&) {}, "Could not go in section root"},
        {"<root />",
         [](FXmlSerializer& s) {
             std::int32_t v;
             s.readInt("missing", v);
         },
         "Could not go in section missing"},
        {"<root><v /></root>",
         [](FXmlSerializer& s) {
             std::int32_t v;
             s.readInt("v", v);
         },
         "No text"},
        {"<root><v><w>1</w></v></root>",
         [](FXmlSerializer& s) {
             double v;
             s.readDouble("v", v);
         },
         "No text"},
        {"<root><v /></root>",
         [](FXmlSerializer& s) {
             bool v;
             s.readBoolDefault("v", v, true);
         },
         "No text"},
        {"<root><l count=\"many\" /></root>",
         [](FXmlSerializer& s) {
             std::int32_t n;
             s.beginArray("l", n);
         },
         "Invalid count"},
        {"<root><l count=\"3x\" /></root>",
         [](FXmlSerializer& s) {
             std::int32_t n;
             s.beginArray("l", n);
         },
         "Invalid count"},
        {"<root><l count=\"99999999999\" /></root>",
         [](FXmlSerializer& s) {
             std::int32_t n;
             s.beginArray("l", n);
         },
         "Invalid count"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xml);
        expectFailure([&] { loadXml(c.xml, c.body); }, c.message);
    }
}

TEST(FXmlSerializerTest, AFailedReadLeavesTheSerializerInItsSection)
{
    loadXml("<root><v /><w>5</w></root>", [](FXmlSerializer& s) {
        std::int32_t v = 0;
        RecordingErrorHandler handler;
        EXPECT_THROW(s.readInt("v", v), FDebug::VellumcoreException);
        s.readInt("w", v);
        EXPECT_EQ(v, 5);
    });
}

TEST(FXmlSerializerTest, MalformedUtf8InATextIsAFailure)
{
    RecordingErrorHandler handler;
    EXPECT_THROW(loadXml("<root><n>a\x80"
                         "b</n></root>",
                         [](FXmlSerializer& s) {
                             FString n;
                             s.readString("n", n);
                         }),
                 FDebug::VellumcoreException);
    ASSERT_EQ(handler.texts.size(), 1u);
    EXPECT_NE(utf8(handler.texts[0]).find("UTF-8: !UTF8-char : UTF8-tail (128)"), std::string::npos);
}

// The parser descends once per open element; a file of nothing but open tags
// must not exhaust the stack. Quoted "/>", comments and CDATA must not hide
// levels from the depth limit.
TEST(FXmlSerializerTest, TooDeeplyNestedFileReadsAsEmpty)
{
    std::string deep;
    for (int i = 0; i < 200000; ++i) {
        deep += "<root>";
    }
    expectFailure([&] { loadXml(deep, [](FXmlSerializer&) {}); }, "Could not go in section root");

    auto nested = [](int levels) {
        std::string xml = "<root>";
        for (int i = 0; i < levels; ++i) {
            xml += "<a x=\"/>\"><!-- </a> --><![CDATA[</a>]]>";
        }
        for (int i = 0; i < levels; ++i) {
            xml += "</a>";
        }
        return xml + "</root>";
    };
    loadXml(nested(100), [](FXmlSerializer& s) { EXPECT_TRUE(s.hasSection("a")); });
    expectFailure([&] { loadXml(nested(300), [](FXmlSerializer&) {}); }, "Could not go in section root");
}

TEST(FXmlSerializerTest, SectionsNest)
{
    std::string xml = saveXml([](FXmlSerializer& s) {
        s.enterSection("outer");
        s.writeInt("v", 1);
        s.leaveSection();
        s.writeInt("v", 2);
    });
    EXPECT_EQ(xml, "<root><outer><v>1</v></outer><v>2</v></root>");
    loadXml(xml, [](FXmlSerializer& s) {
        EXPECT_TRUE(s.hasSection("outer"));
        EXPECT_FALSE(s.hasSection("inner"));
        std::int32_t v = 0;
        s.enterSection("outer");
        EXPECT_FALSE(s.hasSection("outer"));
        s.readInt("v", v);
        EXPECT_EQ(v, 1);
        s.leaveSection();
        s.readInt("v", v);
        EXPECT_EQ(v, 2);
    });
}

TEST(FXmlSerializerTest, WritesTheFileOnCloseOrDestructionButNotWhileUnwinding)
{
    FRefT<std::ostringstream> file = makeSignaledRef(engineNew<std::ostringstream>(k_memObject));
    {
        FXmlSerializer s(file, FXmlSerializer::ForWrite{});
        s.writeInt("v", 1);
        s.close();
        EXPECT_EQ(file->str(), "<root><v>1</v></root>");
        s.writeInt("w", 2);
    }
    EXPECT_EQ(file->str(), "<root><v>1</v></root>") << "a closed document is not written again";

    FRefT<std::ostringstream> unwound = makeSignaledRef(engineNew<std::ostringstream>(k_memObject));
    EXPECT_THROW(
        {
            FXmlSerializer s(unwound, FXmlSerializer::ForWrite{});
            s.writeInt("v", 1);
            throw std::runtime_error("save abandoned");
        },
        std::runtime_error);
    EXPECT_EQ(unwound->str(), "");
}

TEST(FXmlSerializerTest, AFailedWriteIsReported)
{
    FRefT<std::ostringstream> file = makeSignaledRef(engineNew<std::ostringstream>(k_memObject));
    file->setstate(std::ios::badbit);
    FXmlSerializer s(file, FXmlSerializer::ForWrite{});
    s.writeInt("v", 1);
    expectFailure([&] { s.close(); }, "Could not write the document");
}

} // namespace

namespace {

TEST(FXmlSerializerTest, TellsWhichDocumentsItReadsWithoutAFailure)
{
    std::string deep = "<root>";
    for (int i = 0; i < 300; ++i)
        deep += "<a>";
    const struct
    {
        const char* what;
        std::string text;
        bool readable;
    } cases[] = {
        {"saved form", "<root><a>1</a><l count=\"2\"><_0>x</_0></l></root>", true},
        {"empty root", "<root />", true},
        {"two-byte and three-byte text", "<root><n>Zo\xC3\xAB \xE4\xB8\xAD</n></root>", true},
        {"nothing", "", false},
        {"not XML", "lastProfile=Ann", false},
        {"other root", "<toor><a>1</a></toor>", false},
        {"cut in a lead byte", "<root><n>A\xC3</n></root>", false},
        {"stray tail byte", "<root><n>\x80</n></root>", false},
        {"overlong", "<root><n>\xC0\xAF</n></root>", false},
        {"surrogate", "<root><n>\xED\xA0\x80</n></root>", false},
        {"four-byte character", "<root><n>\xF0\x9F\x98\x80</n></root>", true},
        {"four-byte entity", "<root><n>&#x1F600;</n></root>", true},
        {"last four-byte character", "<root><n>\xF4\x8F\xBF\xBF</n></root>", true},
        {"four-byte form beyond U+10FFFF", "<root><n>\xF4\x90\x80\x80</n></root>", false},
        {"overlong four-byte form", "<root><n>\xF0\x8F\xBF\xBF</n></root>", false},
        {"cut four-byte form", "<root><n>\xF0\x9F\x98</n></root>", false},
        {"five-byte lead", "<root><n>\xF8\x88\x80\x80\x80</n></root>", false},
        {"count not a number", "<root><l count=\"2x\" /></root>", false},
        {"nested count not a number", "<root><l><_0 count=\"\" /></l></root>", false},
        {"too deep", deep, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FXmlSerializer::isReadable(c.text), c.readable);
    }
}

TEST(FXmlSerializerTest, AReadableDocumentReadsWithoutAFailureInEveryKindOfValue)
{
    // A four-byte character where a number or a flag belongs: readable, so
    // every read of it must be a value, not a failure report.
    const std::string emoji = "\xF0\x9F\x98\x80";
    const std::string text = "<root><b>" + emoji + "</b><i>12" + emoji + "</i><x>" + emoji + "</x></root>";
    ASSERT_TRUE(FXmlSerializer::isReadable(text));
    loadXml(text, [](FXmlSerializer& s) {
        bool b = true;
        EXPECT_NO_THROW(s.readBool("b", b));
        EXPECT_FALSE(b);
        std::int32_t i = 0;
        EXPECT_NO_THROW(s.readInt("i", i));
        EXPECT_EQ(i, 12);
        EXPECT_TRUE(s.isValid());
        std::int32_t x = 5;
        EXPECT_NO_THROW(s.readInt("x", x));
        EXPECT_FALSE(s.isValid());
    });
}

TEST(FXmlSerializerTest, HasValueOnlyWhereAPlainReadSucceeds)
{
    loadXml("<root><a>1</a><e /><s><b>2</b></s></root>", [](FXmlSerializer& s) {
        EXPECT_TRUE(s.hasValue("a"));
        EXPECT_FALSE(s.hasValue("e"));
        EXPECT_FALSE(s.hasValue("s")); // holds an element, not a text
        EXPECT_FALSE(s.hasValue("missing"));
        std::int32_t count = -1;
        s.beginArray("s", count);
        EXPECT_TRUE(s.hasValue("b"));
        s.endArray("s");
    });
}

} // namespace
