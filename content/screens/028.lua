-- Folder 28: Music tracks.
-- A shared layout part: assets and texts, no widgets (see README.md).
return {
  folder = 28,
  hint = 10,
  class = "LayoutPart28",
  assets = {
    { id = 6621, kind = "music", member = "musicTrack1", role = "music track", recipe = nil },
    { id = 6622, kind = "music", member = "musicTrack2", chosen = true, recipe = nil },
    { id = 6623, kind = "music", member = "sequenceMusic", role = "the text sequence's music", recipe = nil },
    { id = 6624, kind = "music", member = "frontEndMusic", role = "the front-end music", recipe = nil },
  },
}
