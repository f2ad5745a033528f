-- Folder 10: The intro slides screen: one slide fades in over a cover, stays and fades out; then the cover fades out.
return {
  folder = 10,
  hint = 10,
  class = "ScreenLayout10",
  base = "FScreen",
  size = { 800, 600 },
  assets = {
    { id = 6169, kind = "image", member = "slideImage", role = "the slide's picture",
      recipe = { kind = "background", w = 800, h = 600, palette = "harbor", seed = 10,
                 label = "Search twelve worlds for hidden things" } },
    { id = 6170, kind = "image", member = "coverImage", role = "the cover that fades out at the end", chosen = true,
      recipe = { kind = "background", w = 800, h = 600, palette = "space", seed = 4 } },
  },
  texts = {
    { id = 222, member = "slideCaption", strings = { "Search twelve worlds for hidden things",
                                                      "Cherchez des objets caches dans douze mondes" } },
  },
  widgets = {
    { id = 0x5A33E253, type = 0xB177E041, member = "slide", parent = 0, rect = { 0, 0, 800, 600 }, visible = false },
    { id = 0x191EC2A4, type = 0x39C4B436, member = "cover", parent = 0, rect = { 0, 0, 800, 600 }, image = 6170 },
  },
}
