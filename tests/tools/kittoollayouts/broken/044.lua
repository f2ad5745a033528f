-- Deliberately broken: asset 4402 is listed twice, which the manifest check
-- must refuse naming folder 44, the id and the key.
return {
  folder = 44,
  hint = 9,
  class = "LayoutPart44",
  assets = {
    { id = 4401, kind = "image", member = "first", recipe = nil },
    { id = 4402, kind = "image", member = "second", recipe = nil },
    { id = 4402, kind = "sample", member = "third", recipe = nil },
  },
}
