#pragma once

// Where the demo design puts a world's hidden items and which emoji each one
// shows. Every item of a table gets a cell of its own in a grid over the
// scene (shuffled, and jittered within the cell), so that the items of one
// search never cover each other; every distinct item of the world gets an
// emoji of its own while the glyphs last, the Picture table's first, so that
// no two items of one search look alike.

#include <cstdint>
#include <map>
#include <string>

struct ScreenManifest;

class KitItemLayout
{
public:
    struct Place
    {
        std::string emoji;
        double x = 0, y = 0; // the item's centre in the scene
        double size = 0;     // the glyph's drawn height
        double angle = 0;    // degrees
    };

    explicit KitItemLayout(const ScreenManifest& world);

    // The place of an item key (a copy's key keeps its "Multiple" part; a
    // companion is asked for by its item's key); null for keys of no item.
    const Place* find(const std::string& key) const;

    // The layout of the world's manifest, made once and shared by all threads.
    static const KitItemLayout& of(const ScreenManifest& world);

private:
    std::map<std::string, Place> m_places;
};
