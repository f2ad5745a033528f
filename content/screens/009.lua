-- Folder 9: The closing animation screen: one full-screen clip with its music after the closing texts; when it
-- ends the last frame holds, fades to black, and the legal notice follows.
return {
  folder = 9,
  hint = 8,
  class = "ScreenLayout09",
  base = "SystemMessageScreen",
  baseHeader = "game/screenbase/SystemMessageScreen.h",
  size = { 800, 600 },
  assets = {
    { id = 1903, kind = "music", member = "animationMusic", role = "the closing animation's music",
      recipe = { kind = "music", bars = 2, tempo = 84, loop = false, seed = 9 } },
    { id = 1902, kind = "video", member = "animation", role = "the closing animation",
      recipe = { kind = "clip", w = 800, h = 600, frames = 120, fps = 24, format = "gwvideo", pictures = "jpg",
                 palette = "harbor", label = "Thank you for playing", seed = 9 } },
  },
  texts = {},
  widgets = {
    { id = 0x168E0DA2, type = 0xB177E041, member = "player", parent = 0, rect = { 0, 0, 800, 600 } },
  },
}
