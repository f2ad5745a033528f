-- Folder 3: Quest title images and the five avatar pictures.
-- A shared layout part: assets and texts, no widgets (see README.md).
return {
  folder = 3,
  hint = 16,
  class = "LayoutPart03",
  assets = {
    { id = 5696, kind = "image", member = "questTitle3", role = "title image of quest 3",
      recipe = { kind = "panel", w = 300, h = 60, palette = "desert", label = "The long trip" } },
    { id = 5697, kind = "image", member = "questTitle0", role = "title image of quest 0",
      recipe = { kind = "panel", w = 300, h = 60, palette = "garden", label = "Hidden things" } },
    { id = 5698, kind = "image", member = "questTitle1", role = "title image of quest 1",
      recipe = { kind = "panel", w = 300, h = 60, palette = "forest", label = "Photographs" } },
    { id = 5699, kind = "image", member = "asset5699", chosen = true, recipe = nil },
    { id = 5700, kind = "image", member = "questTitle2", role = "title image of quest 2",
      recipe = { kind = "panel", w = 300, h = 60, palette = "space", label = "Differences" } },
    { id = 5701, kind = "image", member = "avatar5", role = "picture of avatar 5",
      recipe = { kind = "item_panel", emoji = "penguin", icon = 96 } },
    { id = 5702, kind = "image", member = "avatar1", role = "picture of avatar 1",
      recipe = { kind = "item_panel", emoji = "fox", icon = 96 } },
    { id = 5703, kind = "image", member = "avatar3", role = "picture of avatar 3",
      recipe = { kind = "item_panel", emoji = "owl", icon = 96 } },
    { id = 5704, kind = "image", member = "avatar4", role = "picture of avatar 4",
      recipe = { kind = "item_panel", emoji = "rabbit", icon = 96 } },
    { id = 5705, kind = "image", member = "avatar2", role = "picture of avatar 2",
      recipe = { kind = "item_panel", emoji = "cat", icon = 96 } },
  },
}
