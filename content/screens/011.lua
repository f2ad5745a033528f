-- Folder 11: The click-to-continue screen: one picture that asks for a press.
return {
  folder = 11,
  hint = 8,
  class = "ScreenLayout11",
  base = "FScreen",
  size = { 800, 600 },
  assets = {
    { id = 6625, kind = "image", member = "continueImage", role = "the picture that asks for a press", chosen = true,
      recipe = { kind = "panel", w = 800, h = 600, palette = "menu", label = "Click to continue" } },
    { id = 6626, kind = "sample", member = "continueSound", role = "a sound the screen file carries", chosen = true,
      recipe = { kind = "effect", effect = "click" } },
  },
  texts = {},
  widgets = {
    { id = 0x2C43EDDB, type = 0x39C4B436, member = "continuePicture", parent = 0, rect = { 0, 0, 800, 600 },
      image = 6625 },
  },
}
