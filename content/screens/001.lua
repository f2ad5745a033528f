-- Folder 1: The 18 menu-button clips: a return clip and a hover clip for each of the nine clip kinds.
-- A shared layout part: assets and texts, no widgets (see README.md).
return {
  folder = 1,
  hint = 24,
  class = "LayoutPart01",
  assets = {
    { id = 2347, kind = "video", member = "returnClip0", role = "return clip of menu-button clip kind 0", recipe = nil },
    { id = 2348, kind = "video", member = "hoverClip0", role = "hover clip of menu-button clip kind 0", recipe = nil },
    { id = 2349, kind = "video", member = "returnClip2", role = "return clip of menu-button clip kind 2", recipe = nil },
    { id = 2350, kind = "video", member = "hoverClip2", role = "hover clip of menu-button clip kind 2", recipe = nil },
    { id = 2351, kind = "video", member = "returnClip3", role = "return clip of menu-button clip kind 3", recipe = nil },
    { id = 2352, kind = "video", member = "hoverClip3", role = "hover clip of menu-button clip kind 3", recipe = nil },
    { id = 2353, kind = "video", member = "returnClip1", role = "return clip of menu-button clip kind 1", recipe = nil },
    { id = 2354, kind = "video", member = "hoverClip1", role = "hover clip of menu-button clip kind 1", recipe = nil },
    { id = 2355, kind = "video", member = "returnClip5", role = "return clip of menu-button clip kind 5", recipe = nil },
    { id = 2356, kind = "video", member = "hoverClip5", role = "hover clip of menu-button clip kind 5", recipe = nil },
    { id = 2357, kind = "video", member = "returnClip4", role = "return clip of menu-button clip kind 4", recipe = nil },
    { id = 2358, kind = "video", member = "hoverClip4", role = "hover clip of menu-button clip kind 4", recipe = nil },
    { id = 2359, kind = "video", member = "returnClip6", role = "return clip of menu-button clip kind 6", recipe = nil },
    { id = 2360, kind = "video", member = "hoverClip6", role = "hover clip of menu-button clip kind 6", recipe = nil },
    { id = 2361, kind = "video", member = "returnClip7", role = "return clip of menu-button clip kind 7", recipe = nil },
    { id = 2362, kind = "video", member = "hoverClip7", role = "hover clip of menu-button clip kind 7", recipe = nil },
    { id = 2363, kind = "video", member = "returnClip8", role = "return clip of menu-button clip kind 8", recipe = nil },
    { id = 2364, kind = "video", member = "hoverClip8", role = "hover clip of menu-button clip kind 8", recipe = nil },
  },
}
