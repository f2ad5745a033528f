#include "engine/core/XmlSerializerTestSupport.h"

#include "core/FItemRecord.h"

namespace {

struct Masks
{
    std::uint32_t item = 0;
    std::uint32_t palette = 0;
    std::uint32_t resource = 0;

    void registerOn(FSerializer& s)
    {
        s.setFieldMask(FItemRecord::k_maskKey, &item);
        s.setFieldMask(FPaletteRecord::k_maskKey, &palette);
        s.setFieldMask(FResourceRecord::k_maskKey, &resource);
    }
};

FResourceRecord sampleResource(std::int32_t id)
{
    FResourceRecord r;
    r.id_resource = id;
    r.id_type_resource = 2;
    r.file_name = FString(u"a.png");
    r.file_prefix = FString(u"pre");
    r.file_checksum = FString(u"c0ffee");
    r.file_size = 1234;
    r.note = FString(u"kept");
    return r;
}

FPaletteRecord samplePalette()
{
    FPaletteRecord p;
    p.id_palette = 3;
    p.id_type_palette = 4;
    p.color = 0x80102030u;
    p.resource.id_resource = 5;
    p.id_group_color = 6;
    return p;
}

TEST(FCatalogueRecordTest, ResourceSavesTheFieldsItsMaskSelects)
{
    const struct
    {
        std::uint32_t mask;
        const char* xml;
    } cases[] = {
        {0x0, "<root />"},
        {0x5, "<root><id_resource>7</id_resource><file_name>a.png</file_name></root>"},
        {0x3A, "<root><id_type_resource>2</id_type_resource><file_prefix>pre</file_prefix>"
               "<file_checksum>c0ffee</file_checksum><file_size>1234</file_size></root>"},
        {0xFFFFFFC1, "<root><id_resource>7</id_resource></root>"},
    };
    for (const auto& c : cases) {
        FResourceRecord record = sampleResource(7);
        Masks masks{0, 0, c.mask};
        std::uint32_t returned = 0;
        std::string xml = saveXml([&](FXmlSerializer& s) {
            masks.registerOn(s);
            returned = record.serialize(s);
        });
        EXPECT_EQ(xml, c.xml) << std::hex << c.mask;
        EXPECT_EQ(returned, c.mask);
    }
}

TEST(FCatalogueRecordTest, ResourceLoadsAllFieldsButTheNote)
{
    Masks masks{0, 0, 0x3F};
    FResourceRecord saved = sampleResource(7);
    std::string xml = saveXml([&](FXmlSerializer& s) {
        masks.registerOn(s);
        saved.serialize(s);
    });
    FResourceRecord loaded;
    loadXml(xml, [&](FXmlSerializer& s) {
        masks.registerOn(s);
        loaded.serialize(s);
    });
    EXPECT_EQ(loaded.id_resource, 7);
    EXPECT_EQ(loaded.id_type_resource, 2);
    EXPECT_EQ(loaded.file_name, saved.file_name);
    EXPECT_EQ(loaded.file_prefix, saved.file_prefix);
    EXPECT_EQ(loaded.file_checksum, saved.file_checksum);
    EXPECT_EQ(loaded.file_size, 1234);
    EXPECT_TRUE(loaded.note.empty());
}

TEST(FCatalogueRecordTest, PaletteSavesColourLastAsRedGreenBlue)
{
    const struct
    {
        std::uint32_t mask;
        const char* xml;
    } cases[] = {
        {0x4, "<root><r>16</r><g>32</g><b>48</b></root>"},
        {0x1F, "<root><id_palette>3</id_palette><id_type_palette>4</id_type_palette>"
               "<id_palette_resource>5</id_palette_resource><id_group_color>6</id_group_color>"
               "<r>16</r><g>32</g><b>48</b></root>"},
    };
    for (const auto& c : cases) {
        FPaletteRecord palette = samplePalette();
        Masks masks{0, c.mask, 0};
        std::string xml = saveXml([&](FXmlSerializer& s) {
            masks.registerOn(s);
            palette.serialize(s);
        });
        EXPECT_EQ(xml, c.xml) << std::hex << c.mask;
        EXPECT_EQ(palette.color, 0x80102030u) << "saving leaves the colour unchanged";
    }
}

TEST(FCatalogueRecordTest, PaletteLoadsAnOpaqueColourAndRangeTestsEachByte)
{
    const struct
    {
        const char* xml;
        std::uint32_t color;
    } cases[] = {
        {"<root><r>255</r><g>1</g><b>2</b></root>", 0xFFFF0102u},
        {"<root><r>300</r><g>1</g><b>2</b></root>", 0xFF100102u},
        {"<root><r>1</r><g>-1</g><b>256</b></root>", 0xFF012030u},
    };
    for (const auto& c : cases) {
        FPaletteRecord palette = samplePalette();
        Masks masks{0, 0x4, 0};
        loadXml(c.xml, [&](FXmlSerializer& s) {
            masks.registerOn(s);
            palette.serialize(s);
        });
        EXPECT_EQ(palette.color, c.color) << c.xml;
    }
}

TEST(FCatalogueRecordTest, ItemSavesTheFieldsItsMaskSelectsInOrder)
{
    FItemRecord item;
    item.id_item = 1;
    item.id_model = 2;
    item.id_store = 3;
    item.name = 4;
    item.silhouette.id_silhouette = 5;
    item.silhouette.description = 55;
    item.qty = 6;
    item.provenance.id_provenance_relatif = 7;
    item.provenance.id_type_provenance = 8;
    item.palettes = {samplePalette()};
    item.resources = {sampleResource(10), sampleResource(11)};
    const struct
    {
        Masks masks;
        const char* xml;
    } cases[] = {
        {{0x10013, 0, 0},
         "<root><id_item>1</id_item><id_model>2</id_model><id_store>3</id_store><name>4</name></root>"},
        {{0x6040, 0, 0},
         "<root><id_silhouette>5</id_silhouette><qty>6</qty>"
         "<id_provenance_relatif>7</id_provenance_relatif><id_type_provenance>8</id_type_provenance>"
         "</root>"},
        {{0x9000, 0x1, 0x1},
         "<root><list_id_palettes count=\"1\"><_0><id_palette>3</id_palette></_0></list_id_palettes>"
         "<list_resources count=\"2\"><_0><id_resource>10</id_resource></_0>"
         "<_1><id_resource>11</id_resource></_1></list_resources></root>"},
    };
    for (auto c : cases) {
        std::string xml = saveXml([&](FXmlSerializer& s) {
            c.masks.registerOn(s);
            item.serialize(s);
        });
        EXPECT_EQ(xml, c.xml) << std::hex << c.masks.item;
    }
}

TEST(FCatalogueRecordTest, ItemRoundTripsWithEveryBit)
{
    FItemRecord item;
    std::int32_t next = 100;
    for (std::int32_t* field : {&item.id_item, &item.id_model, &item.id_store, &item.id_item_category,
                                &item.id_brand, &item.name, &item.id_sex, &item.id_rarity, &item.id_game,
                                &item.cost, &item.cntpromo, &item.id_resource_preview, &item.qty}) {
        *field = next++;
    }
    item.silhouette.id_silhouette = 42;
    item.provenance = FProvenanceRecord{};
    item.provenance.id_provenance_relatif = 43;
    item.provenance.id_type_provenance = 44;
    item.palettes = {samplePalette(), FPaletteRecord{}};
    item.resources = {sampleResource(1)};
    Masks masks{0x1FFFF, 0x1F, 0x3F};
    std::string xml = saveXml([&](FXmlSerializer& s) {
        masks.registerOn(s);
        item.serialize(s);
    });

    FItemRecord loaded;
    loaded.palettes = {FPaletteRecord{}, FPaletteRecord{}, FPaletteRecord{}};
    loadXml(xml, [&](FXmlSerializer& s) {
        masks.registerOn(s);
        EXPECT_EQ(loaded.serialize(s), 0x1FFFFu);
        EXPECT_TRUE(s.isValid());
    });
    EXPECT_EQ(loaded.id_item, 100);
    EXPECT_EQ(loaded.qty, 112);
    EXPECT_EQ(loaded.silhouette.id_silhouette, 42);
    EXPECT_EQ(loaded.silhouette.description, 0) << "only the silhouette's id belongs to the item";
    EXPECT_EQ(loaded.provenance.id_type_provenance, 44);
    ASSERT_EQ(loaded.palettes.size(), 2u);
    EXPECT_EQ(loaded.palettes[0].color, 0xFF102030u);
    EXPECT_EQ(loaded.palettes[0].resource.id_resource, 5);
    EXPECT_EQ(loaded.palettes[1].id_palette, -1);
    EXPECT_EQ(loaded.palettes[1].color, 0xFF000000u);
    ASSERT_EQ(loaded.resources.size(), 1u);
    EXPECT_EQ(loaded.resources[0].file_checksum, FString(u"c0ffee"));
}

// A list item loaded with a narrow mask keeps the fresh record's values.
TEST(FCatalogueRecordTest, LoadedListItemsStartFresh)
{
    Masks masks{0x1000, 0x1, 0};
    FItemRecord loaded;
    loadXml(
        "<root><list_id_palettes count=\"1\"><_0><id_palette>9</id_palette></_0></list_id_palettes></root>",
        [&](FXmlSerializer& s) {
            masks.registerOn(s);
            loaded.serialize(s);
        });
    ASSERT_EQ(loaded.palettes.size(), 1u);
    const FPaletteRecord& palette = loaded.palettes[0];
    EXPECT_EQ(palette.id_palette, 9);
    EXPECT_EQ(palette.id_type_palette, -1);
    EXPECT_EQ(palette.color, 0xFF000000u);
    EXPECT_EQ(palette.resource.id_resource, -1);
    EXPECT_EQ(palette.resource.file_size, 0);
    EXPECT_EQ(palette.id_group_color, -1);
}

TEST(FCatalogueRecordTest, ARecordWithoutItsMaskFails)
{
    FResourceRecord record;
    expectFailure([&] { saveXml([&](FXmlSerializer& s) { record.serialize(s); }); },
                  "No field mask registered under key -999997", "core/FSerializer (");
}

} // namespace
