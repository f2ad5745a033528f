-- Folder 23: Particle and sparkle images.
-- A shared layout part: assets and texts, no widgets (see README.md).
return {
  folder = 23,
  hint = 17,
  class = "LayoutPart23",
  assets = {
    { id = 5685, kind = "image", member = "sparkleImage", role = "sparkle image of the launch emitters",
      recipe = { kind = "item_panel", emoji = "star", icon = 32 } },
    { id = 5686, kind = "image", member = "swapSparkle", role = "swap and cover sparkle", recipe = { kind = "item_panel", emoji = "snowflake", icon = 24 } },
    { id = 5687, kind = "image", member = "timerSparkle", role = "timer-particle sparkle; the sweep sparkle", recipe = { kind = "item_panel", emoji = "star", icon = 24 } },
    { id = 5688, kind = "image", member = "asset5688", chosen = true, recipe = nil },
    { id = 5689, kind = "image", member = "asset5689", chosen = true, recipe = nil },
    { id = 5690, kind = "image", member = "tierSparkle", role = "tier-effect sparkle", recipe = { kind = "item_panel", emoji = "star", icon = 24 } },
    { id = 5691, kind = "image", member = "asset5691", chosen = true, recipe = nil },
    { id = 5692, kind = "image", member = "emitterImage", role = "launch sweep image; the overlays' emitter sprite",
      recipe = { kind = "item_panel", emoji = "star", icon = 32 } },
    { id = 5693, kind = "image", member = "asset5693", chosen = true, recipe = nil },
    { id = 5694, kind = "image", member = "impactSparkle", role = "impact and caught sparkle", recipe = { kind = "item_panel", emoji = "fire", icon = 24 } },
    { id = 5695, kind = "image", member = "asset5695", chosen = true, recipe = nil },
  },
}
