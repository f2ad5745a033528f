#pragma once

#include <cstdint>
#include <vector>

class FInStream;
class FScreenRegistry;

// A camera key of an owner screen: three values the screen interprets.
struct FCameraKey
{
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
};

// The screen whose widget tree a screen file describes. After the records
// the file carries the owner's tail: camera keys, two layout values, two
// ignored values and the widget tree, which the owner reads itself.
class FScreenOwner
{
public:
    virtual ~FScreenOwner() = default;

    virtual void setCameraKeys(std::vector<FCameraKey> keys) = 0;
    // index 0 and 1: the file's two layout values.
    virtual void setLayoutValue(int index, int32_t value) = 0;
    // Reads the widget tree that fills the rest of the file, storing each
    // widget in the registry and appending its id to `ids`.
    virtual void loadWidgetTree(FInStream& reader, FScreenRegistry& registry, std::vector<int32_t>& ids) = 0;
};
