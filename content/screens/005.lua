-- Folder 5: The guide speakers' clips.
-- A shared layout part: assets and texts, no widgets (see README.md).
return {
  folder = 5,
  hint = 26,
  class = "LayoutPart05",
  assets = {
    { id = 6556, kind = "image", member = "asset6556", chosen = true, recipe = nil },
    { id = 6557, kind = "image", member = "asset6557", chosen = true, recipe = nil },
    { id = 6558, kind = "image", member = "asset6558", chosen = true, recipe = nil },
    { id = 6559, kind = "image", member = "asset6559", chosen = true, recipe = nil },
    { id = 6560, kind = "image", member = "asset6560", chosen = true, recipe = nil },
    { id = 6561, kind = "image", member = "asset6561", chosen = true, recipe = nil },
    { id = 6562, kind = "video", member = "speakerAClip1", role = "first clip of guide speaker A", recipe = nil },
    { id = 6563, kind = "image", member = "asset6563", chosen = true, recipe = nil },
    { id = 6564, kind = "video", member = "speakerAClip2", role = "second clip of guide speaker A; the talking video of the large character", recipe = nil },
    { id = 6565, kind = "image", member = "asset6565", chosen = true, recipe = nil },
    { id = 6566, kind = "image", member = "asset6566", chosen = true, recipe = nil },
    { id = 6567, kind = "image", member = "asset6567", chosen = true, recipe = nil },
    { id = 6568, kind = "image", member = "asset6568", chosen = true, recipe = nil },
    { id = 6569, kind = "image", member = "asset6569", chosen = true, recipe = nil },
    { id = 6570, kind = "video", member = "speakerBClip1", role = "first clip of guide speaker B", recipe = nil },
    { id = 6571, kind = "image", member = "asset6571", chosen = true, recipe = nil },
    { id = 6572, kind = "image", member = "asset6572", chosen = true, recipe = nil },
    { id = 6573, kind = "video", member = "speakerBClip2", role = "second clip of guide speaker B", recipe = nil },
    { id = 6574, kind = "image", member = "asset6574", chosen = true, recipe = nil },
    { id = 6575, kind = "image", member = "asset6575", chosen = true, recipe = nil },
  },
}
