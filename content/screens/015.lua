-- Folder 15: The loading screen: a backdrop with a frame, and one of the loading pictures of folder 16 playing in
-- the frame while the next screen is built. The frame holds the 160 x 120 pictures at every centre the screen
-- puts them on (from (550, 450) to (601, 418) on the 800-pixel screen) and stays on the screen.
return {
  folder = 15,
  hint = 11,
  class = "ScreenLayout15",
  base = "SystemMessageScreen",
  baseHeader = "game/screenbase/SystemMessageScreen.h",
  parts = { 16 },
  size = { 800, 600 },
  assets = {
    { id = 893, kind = "image", member = "backdropImage", role = "the loading screen's backdrop", chosen = true,
      recipe = { kind = "background", w = 800, h = 600, palette = "space", seed = 15, label = "Loading..." } },
    { id = 895, kind = "image", member = "frameImage", role = "the frame around the loading picture", chosen = true,
      recipe = { kind = "frame", w = 260, h = 196, border = 12 } },
    { id = 894, kind = "music", member = "loadingMusic", role = "the loading music",
      recipe = { kind = "music", bars = 4, tempo = 100, loop = true, seed = 15 } },
  },
  texts = {},
  widgets = {
    { id = 0xD7D39796, type = 0x39C4B436, member = "backdrop", parent = 0, rect = { 0, 0, 800, 600 }, image = 893 },
    { id = 0x29990F95, type = 0x39C4B436, member = "pictureFrame", parent = 0, rect = { 446, 334, 260, 196 },
      image = 895 },
    { id = 0x785677B6, type = 0xB177E041, member = "picture", parent = 0, rect = { 521, 358, 160, 120 } },
  },
}
