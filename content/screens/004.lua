-- Folder 4: The intro screen: the studio card fades in and stays, the game's title card fades in over it, stays and
-- fades out again. Text 2 is the window title.
return {
  folder = 4,
  hint = 10,
  class = "ScreenLayout04",
  base = "FScreen",
  size = { 800, 600 },
  assets = {
    { id = 2367, kind = "image", member = "studioCardImage", role = "picture A: the studio card that stays",
      chosen = true,
      recipe = { kind = "background", w = 800, h = 600, palette = "space", seed = 4,
                 label = "A small open-source studio presents" } },
    { id = 2365, kind = "image", member = "titleCardImage", role = "picture B: the game's title card", chosen = true,
      recipe = { kind = "panel", w = 800, h = 600, palette = "harbor", label = "Zibbo Far Afield" } },
    { id = 2366, kind = "image", member = "spareCardImage", role = "a further card the screen file carries",
      chosen = true, recipe = { kind = "panel", w = 400, h = 120, palette = "menu", label = "Zibbo" } },
  },
  texts = {
    { id = 2, member = "windowTitle", strings = { "Zibbo Far Afield", "Zibbo au loin" } },
  },
  widgets = {
    { id = 0x9BC803BC, type = 0x39C4B436, member = "pictureB", parent = 0, rect = { 0, 0, 800, 600 }, visible = false,
      image = 2365 },
    { id = 0xEDDFDCE3, type = 0x39C4B436, member = "pictureA", parent = 0, rect = { 0, 0, 800, 600 }, image = 2367 },
  },
}
