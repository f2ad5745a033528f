#pragma once

#include "asset/FScreenOwner.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The owner tail of a screen file as kittool shows it: camera keys, the two
// layout values and the widget tree, read by the engine's own containers.
class KitWidgetTree : public FScreenOwner
{
public:
    struct Node
    {
        int32_t id = 0;
        uint32_t type = 0;
        int32_t x = 0, y = 0, width = 0, height = 0;
        bool visible = true;
        // Kind-specific fields, already as JSON members and as text.
        std::string jsonFields;
        std::string textFields;
        std::vector<Node> children;
    };

    KitWidgetTree();
    ~KitWidgetTree() override;

    std::vector<FCameraKey> keys;
    int32_t values[2] = {0, 0};
    Node root;
    // Empty when the whole tree was read; else why it stopped.
    std::string failure;

    void setCameraKeys(std::vector<FCameraKey> k) override { keys = std::move(k); }
    void setLayoutValue(int index, int32_t value) override { values[index & 1] = value; }
    void loadWidgetTree(FInStream& reader, FScreenRegistry& registry, std::vector<int32_t>& ids) override;

    std::string json() const;
    std::string text() const;
};
