-- Folder 17: The intro animation screen: a short clip with its music; the screen goes on when the clip ends.
return {
  folder = 17,
  hint = 8,
  class = "ScreenLayout17",
  base = "FScreen",
  size = { 800, 600 },
  assets = {
    { id = 6632, kind = "music", member = "introMusic", role = "the intro music",
      recipe = { kind = "music", bars = 2, tempo = 96, loop = false, seed = 17 } },
    { id = 6633, kind = "video", member = "introAnimation", role = "the intro animation",
      recipe = { kind = "clip", w = 800, h = 600, frames = 100, fps = 20, format = "gwvideo", pictures = "jpg",
                 palette = "harbor", label = "Zibbo Far Afield", seed = 17 } },
  },
  texts = {},
  widgets = {
    { id = 0x1A3CC318, type = 0xB177E041, member = "player", parent = 0, rect = { 0, 0, 800, 600 } },
  },
}
