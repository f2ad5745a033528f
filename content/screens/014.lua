-- Folder 14: The world map: a parchment map of the twelve worlds, each with its looping ambient clips, its three
-- map pieces, its quest tag, its lock and its name; the quest chooser, the quest scroll, the guide's panels and the
-- ending. Assets 0x1087 to 0x1191 and texts 0x10C to 0x177 are all held; the widgets are listed in member order.
-- The worlds' places follow the tuning tables OriginX/Y, TagX/Y and BoxX/Y/W/H of Scripts/params.lua (laid out for
-- 640 x 480, scaled by 1.25 on this 800 x 600 screen).

local palettes = { "harbor", "meadow", "city", "ocean", "canyon", "snow", "jungle", "castle", "desert", "reef",
                   "volcano", "skyport" }
local worldNames = { "Harbour Bay", "Orchard Hills", "Market Town", "Lagoon Isles", "Red Canyon", "Glacier Peaks",
                     "Deep Jungle", "Castle Keep", "Sun Desert", "Coral Reef", "Fire Mountain", "Sky Port" }
local nameTexts = { 0x11B, 0x11F, 0x10E, 0x10D, 0x111, 0x120, 0x119, 0x110, 0x11D, 0x11A, 0x11C, 0x13E }
-- Box left and top of each world in screen pixels (the tuning tables times 1.25); the map pieces and locks sit in
-- the boxes, the ambient sprites are moved to the origins when the map is built.
local boxX = { 37, 231, 425, 618, 618, 425, 231, 37, 37, 231, 425, 618 }
local boxY = { 437, 437, 437, 437, 250, 250, 250, 250, 62, 62, 62, 62 }
local boxW, boxH = 137, 100

local function hex4(id) return string.format("%04X", id) end

-- Ambient sprites per world in the order the map building places them (the anchor first in `anchor`), with the
-- clip of each: one clip per sprite, 0x1088 to 0x10AE except 0x1092.
local ambient = {
  { 0x487e6360 },
  { 0x59604dc1, 0x5b161cbd, 0x9ebbcffa },
  { 0xb5738c0b },
  { 0x55a87fe7, 0x49ee2df6, 0x1c9dd7cd },
  { 0xb3637457, 0xec07714f },
  { 0x0b16d5d6, 0x921f846c, 0xe518b4fa, 0x75e09635, 0xf2538be4, 0x8d059a70, 0x4eb6cd00 },
  { 0xbb34d398, 0x64a09d22, 0xcfd15f74, 0xb8d66fe2 },
  { 0x99a0b2e2, 0x0ac12491, 0x5241c581, 0x80384c7e, 0x40bfb6c7 },
  { 0xf594403c, 0x742721a9, 0xb40d6eb9, 0xccd0d39e },
  { 0x266262b7 },
  { 0x8bbac2cf, 0xb2804885, 0xd91feda6 },
  { 0xec315b16, 0xf5aaa561, 0x72f1e9da, 0xe08d12f2, 0xc3a56343 },
}
local pieces = {
  { 0xb3b592e6, 0x2abcc35c, 0x5dbbf3ca }, { 0x825d887b, 0x1b54d9c1, 0x6c53e957 },
  { 0x242a83cf, 0xbd23d275, 0xca24e2e3 }, { 0xe18dbd41, 0x7884ecfb, 0x0f83dc6d },
  { 0x47fab6f5, 0xdef3e74f, 0xa9f4d7d9 }, { 0x7612ac68, 0xef1bfdd2, 0x981ccd44 },
  { 0xd065a7dc, 0x496cf666, 0x3e6bc6f0 }, { 0x262dd735, 0xbf24868f, 0xc823b619 },
  { 0x805adc81, 0x19538d3b, 0x6e54bdad }, { 0x580451d7, 0xc10d006d, 0xb60a30fb },
  { 0xfe735a63, 0x677a0bd9, 0x107d3b4f }, { 0xcf9b40fe, 0x56921144, 0x219521d2 },
}
local tags = { 0xbf331480, 0x263a453a, 0x513d75ac, 0xcf59e00f, 0xb85ed099, 0x21578123, 0x5650b1b5, 0xc6efac24,
               0xb1e89cb2, 0x19dc6f15, 0x6edb5f83, 0xf7d20e39 }
local locks = { 0x2438e222, 0xbd31b398, 0xca36830e, 0x545216ad, 0x2355263b, 0xba5c7781, 0xcd5b4717, 0x5de45a86,
                0x2ae36a10, 0x4a24e3f5, 0x3d23d363, 0xa42a82d9 }
-- The clips of the ambient sprites, world by world.
local clipOf = {}
do
  local clips = {
    { 0x1088 }, { 0x108D, 0x108E, 0x108F }, { 0x1090 }, { 0x1091, 0x1092, 0x1093 }, { 0x1094, 0x1095 },
    { 0x1096, 0x1097, 0x1098, 0x1099, 0x109A, 0x109B, 0x109C }, { 0x109D, 0x109E, 0x109F, 0x10A0 },
    { 0x10A1, 0x10A2, 0x10A3, 0x10A4, 0x10A5 }, { 0x10A6, 0x10A7, 0x10A8, 0x10A9 }, { 0x1089 },
    { 0x108A, 0x108B, 0x108C }, { 0x10AA, 0x10AB, 0x10AC, 0x10AD, 0x10AE },
  }
  for w = 1, 12 do
    for i, id in ipairs(clips[w]) do clipOf[id] = { world = w, index = i, sprite = ambient[w][i] } end
  end
end

local k_container, k_image, k_label, k_button, k_video = 0xB7F8BDB2, 0x39C4B436, 0x6187C023, 0x36DF9795, 0xB177E041

-- Assets ----------------------------------------------------------------------------------------------------------
local named = {
  [0x1087] = { kind = "image", member = "mapArt", role = "the world map picture",
               recipe = { kind = "map", w = 1100, h = 840, spots = 12, seed = 14 } },
  [0x10B2] = { kind = "image", member = "questIconType3", role = "quest-type icon of type 3",
               recipe = { kind = "item_panel", emoji = "compass", icon = 40 } },
  [0x10B3] = { kind = "image", member = "questIconType0", role = "quest-type icon of type 0",
               recipe = { kind = "item_panel", emoji = "magnifier", icon = 40 } },
  [0x10B4] = { kind = "image", member = "questIconType1", role = "quest-type icon of type 1",
               recipe = { kind = "item_panel", emoji = "camera", icon = 40 } },
  [0x10B5] = { kind = "image", member = "questIconType2", role = "quest-type icon of type 2",
               recipe = { kind = "item_panel", emoji = "puzzle", icon = 40 } },
  [0x10B6] = { kind = "video", member = "selectedTagClip", role = "the selected quest tag's clip",
               recipe = { kind = "clip", w = 48, h = 48, frames = 16, fps = 24, format = "gwvideo", palette = "menu",
                          label = "!", seed = 6 } },
  [0x10B7] = { kind = "font", member = "nameLabelFont", role = "font of the world name labels",
               recipe = { kind = "font", face = "serif-bold", size = 18 } },
  [0x10B9] = { kind = "video", member = "revealSparkleClip", role = "the map-piece reveal sparkle",
               recipe = { kind = "clip", w = 96, h = 96, frames = 24, fps = 36, format = "gwvideo",
                          palette = "menu", sparkles = 40, seed = 9 } },
  [0x10BA] = { kind = "video", member = "tagClipType0", role = "quest tag clip of type 0",
               recipe = { kind = "clip", w = 48, h = 48, frames = 16, fps = 24, format = "gwvideo", palette = "garden",
                          label = "?", seed = 10 } },
  [0x10BB] = { kind = "video", member = "tagClipType1", role = "quest tag clip of type 1",
               recipe = { kind = "clip", w = 48, h = 48, frames = 16, fps = 24, format = "gwvideo", palette = "forest",
                          label = "?", seed = 11 } },
  [0x10BC] = { kind = "video", member = "tagClipType2", role = "quest tag clip of type 2",
               recipe = { kind = "clip", w = 48, h = 48, frames = 16, fps = 24, format = "gwvideo", palette = "space",
                          label = "?", seed = 12 } },
  [0x10BD] = { kind = "video", member = "tagClipType3", role = "quest tag clip of type 3",
               recipe = { kind = "clip", w = 48, h = 48, frames = 16, fps = 24, format = "gwvideo", palette = "menu",
                          label = "!", seed = 13 } },
  [0x10C1] = { kind = "sample", member = "tripSound", role = "the long trip's sound",
               recipe = { kind = "effect", effect = "whoosh" } },
  [0x10C2] = { kind = "sample", member = "pieceRevealSound", role = "a map piece appears", chosen = true,
               recipe = { kind = "effect", effect = "chime" } },
  [0x10C3] = { kind = "sample", member = "tagFinishedSound", role = "a quest tag's animation ends", chosen = true,
               recipe = { kind = "effect", effect = "pop" } },
  [0x10C8] = { kind = "sample", member = "worldOpenSound", role = "a world opens", chosen = true,
               recipe = { kind = "effect", effect = "fanfare" } },
  [0x10C9] = { kind = "sample", member = "nodeSelectSound", role = "a world becomes the active one", chosen = true,
               recipe = { kind = "effect", effect = "click", pitch = 1.5 } },
  [0x10DD] = { kind = "image", member = "starFull", role = "full star of the quest chooser",
               recipe = { kind = "item_panel", emoji = "star", icon = 28 } },
  [0x10DE] = { kind = "image", member = "starEmpty", role = "empty star of the quest chooser",
               recipe = { kind = "frame", w = 28, h = 28, border = 3 } },
  [0x10DF] = { kind = "music", member = "speakerAMusic", role = "speaker A's story-break music" },
  [0x1151] = { kind = "music", member = "storyBreak4Music", role = "the story-break music after quest 3" },
  [0x1177] = { kind = "image", member = "lockPicture", role = "the lock over a closed world", chosen = true,
               recipe = { kind = "item_panel", emoji = "lock", icon = 56 } },
  [0x1178] = { kind = "image", member = "buttonNormal", chosen = true,
               recipe = { kind = "button", w = 160, h = 44, label = "", state = "normal" } },
  [0x1179] = { kind = "image", member = "buttonHover", chosen = true,
               recipe = { kind = "button", w = 160, h = 44, label = "", state = "hover" } },
  [0x117A] = { kind = "image", member = "buttonPressed", chosen = true,
               recipe = { kind = "button", w = 160, h = 44, label = "", state = "pressed" } },
  [0x117B] = { kind = "image", member = "buttonDisabled", chosen = true,
               recipe = { kind = "button", w = 160, h = 44, label = "", state = "disabled" } },
  [0x117C] = { kind = "skin", member = "buttonSkin", chosen = true,
               recipe = { kind = "skin", normal = 0x1178, hover = 0x1179, pressed = 0x117A, disabled = 0x117B,
                          font = 0x117D, sound = 0x10C9, insets = { 12, 8, 12, 8 } } },
  [0x117D] = { kind = "font", member = "buttonFont", chosen = true,
               recipe = { kind = "font", face = "sans-bold", size = 18 } },
  [0x117E] = { kind = "image", member = "scrollPicture", chosen = true,
               recipe = { kind = "panel", w = 420, h = 420, palette = "desert", label = "" } },
}
local assets = {}
for id = 0x1087, 0x1191 do
  local entry = named[id]
  if entry == nil then
    local clip = clipOf[id]
    if clip ~= nil then
      entry = { kind = "video", member = "ambientClip" .. hex4(id),
                role = "ambient clip of world " .. (clip.world - 1),
                recipe = { kind = "clip", w = 64, h = 48, frames = 24, fps = 12, format = "gwvideo",
                           palette = string.format("world%02d", clip.world), sparkles = 8,
                           seed = clip.world * 10 + clip.index } }
    elseif id >= 0x1152 and id <= 0x1176 then
      -- The map pieces: a fragment of their world's scene each.
      local n = id - 0x1152
      local w = math.floor(n / 3) + 1
      if n == 36 then w = 12 end
      entry = { kind = "image", member = "mapPiece" .. hex4(id), role = "map piece of world " .. (w - 1),
                chosen = true,
                recipe = { kind = "tile", w = 40, h = 30, scene_w = 400, scene_h = 300, x = (n % 3) * 120 + 40,
                           y = 120, palette = palettes[w], seed = w } }
    elseif id >= 0x10DF and id <= 0x1150 and not (id >= 0x1142 and id <= 0x1145) then
      entry = { kind = "sample", member = "voice" .. hex4(id), role = "a voice line of the guide or a quest" }
    else
      entry = { kind = "image", member = "asset" .. hex4(id), chosen = true }
    end
  end
  entry.id = id
  assets[#assets + 1] = entry
end

-- Texts -----------------------------------------------------------------------------------------------------------
local questWords = { "Find the hidden things", "Take the photographs", "Spot the differences", "Make the long trip" }
local texts = {}
for id = 0x10C, 0x177 do
  local member, strings = "text" .. hex4(id), { "..." }
  for w = 1, 12 do
    if nameTexts[w] == id then member, strings = "worldName" .. (w - 1), { worldNames[w] } end
  end
  local groups = { 0x122, 0x132, 0x148, 0x16C }
  for q = 1, 4 do
    if id >= groups[q] and id < groups[q] + 12 then
      local w = id - groups[q] + 1
      member = string.format("questDescription%d_%d", q - 1, w - 1)
      strings = { questWords[q] .. " in " .. worldNames[w] .. "." }
    end
  end
  local captions = { [0x10C] = "Main menu", [0x10F] = "Play", [0x112] = "Close" }
  if captions[id] ~= nil then member, strings = "caption" .. hex4(id), { captions[id] } end
  if id == 0x12F then
    member, strings = "specialQuestQuestion", { "A special quest waits here. Would you like to play it now?" }
  end
  texts[#texts + 1] = { id = id, member = member, strings = strings }
end

-- Widgets ---------------------------------------------------------------------------------------------------------
local order = {
  0x8595707d, 0xf426ff6e, 0xb6d26ff0, 0x03ae0c31, 0x9c110ce9, 0x33d63bec, 0x79032327, 0x204b1649, 0xb94247f3,
  0xce457765, 0x5021e2c6, 0x2726d250, 0x950f91ed, 0x0c06c057, 0x7b01f0c1, 0xe5656562, 0x926255f4, 0x0b6b044e,
  0x7c6c34d8, 0xecd32949, 0x9bd419df, 0x487e6360, 0x266262b7, 0x580451d7, 0xc10d006d, 0xb60a30fb, 0xfe735a63,
  0x677a0bd9, 0x107d3b4f, 0xcf9b40fe, 0x56921144, 0x219521d2, 0x6b4a8493, 0xb3b592e6, 0x2abcc35c, 0x5dbbf3ca,
  0x825d887b, 0x1b54d9c1, 0x6c53e957, 0x242a83cf, 0xbd23d275, 0xca24e2e3, 0xe18dbd41, 0x7884ecfb, 0x0f83dc6d,
  0x47fab6f5, 0xdef3e74f, 0xa9f4d7d9, 0x7612ac68, 0xef1bfdd2, 0x981ccd44, 0xd065a7dc, 0x496cf666, 0x3e6bc6f0,
  0x262dd735, 0xbf24868f, 0xc823b619, 0x805adc81, 0x19538d3b, 0x6e54bdad, 0xb5738c0b, 0x59604dc1, 0x5b161cbd,
  0x9ebbcffa, 0x55a87fe7, 0x49ee2df6, 0x1c9dd7cd, 0xb3637457, 0xec07714f, 0x0b16d5d6, 0x921f846c, 0xe518b4fa,
  0x75e09635, 0xf2538be4, 0x8d059a70, 0x4eb6cd00, 0xbb34d398, 0x64a09d22, 0xcfd15f74, 0xb8d66fe2, 0x99a0b2e2,
  0x0ac12491, 0x5241c581, 0x80384c7e, 0x40bfb6c7, 0xb40d6eb9, 0xf594403c, 0x742721a9, 0xccd0d39e, 0x8bbac2cf,
  0xb2804885, 0xd91feda6, 0xec315b16, 0xf5aaa561, 0x72f1e9da, 0xe08d12f2, 0xc3a56343, 0x46e43224, 0x2438e222,
  0xbd31b398, 0xca36830e, 0x545216ad, 0x2355263b, 0xba5c7781, 0xcd5b4717, 0x5de45a86, 0x2ae36a10, 0x4a24e3f5,
  0x3d23d363, 0xa42a82d9, 0x61208374, 0x1f339fad, 0xbf331480, 0x263a453a, 0x513d75ac, 0xcf59e00f, 0xb85ed099,
  0x21578123, 0x5650b1b5, 0xc6efac24, 0xb1e89cb2, 0x19dc6f15, 0x6edb5f83, 0xf7d20e39, 0x4bd0f7ba, 0xd9165de2,
  0x040a902e, 0xfee4c246, 0x6421371e, 0xe729af3b, 0x92f8b060, 0x34f02029, 0x9a0017c2, 0x41b01911, 0x955089ec,
  0x57eaa06d, 0x20ed90fb, 0xb9e4c141, 0xcee3f1d7, 0x50876474, 0x95b94136, 0xeecea88e, 0x3a2e3873, 0x37f55009,
  0x40f2609f, 0xd9fb3125, 0xaefc01b3, 0x30989410, 0x4dca7eb2, 0x261f90dc, 0xfb5e320b, 0x42bd6f75, 0xc2c76287,
  0x2c0f2c1d, 0xf8efbce0, 0x5e315373, 0x293663e5, 0xb03f325f, 0xc73802c9, 0x595c976a, 0x9058b6c2, 0x0951e778,
  0xb4e5db57, 0x30c7e7ea, 0x27bc40eb, 0x929062c4, 0x5b5a7ba0, 0xa249c842, 0xadd61a0a, 0x4a5e4b00, 0x5fa61327,
  0xf64ad0df, 0xb4b7fd11, 0x1590529b, 0xf8836ad3,
}

local MAP, PANEL, CONTENT = 0x1590529b, 0xa249c842, 0xadd61a0a
-- What each widget is; every widget not named here is a hidden image of the chooser, the scroll or the guide.
local spec = {}
local function set(id, t) spec[id] = t end

set(MAP, { type = k_container, member = "mapContainer", parent = 0, rect = { 0, 0, 800, 600 } })
set(0x34f02029, { type = k_image, member = "mapPicture", parent = MAP, rect = { 0, 0, 800, 600 }, image = 0x1087 })
for w = 1, 12 do
  for i, id in ipairs(ambient[w]) do
    set(id, { type = k_video, member = string.format("ambient%d_%d", w - 1, i - 1), parent = MAP,
              rect = { boxX[w] + 37, boxY[w] + 10, 64, 48 } })
  end
  for i, id in ipairs(pieces[w]) do
    local piece = 0x1152 + (w - 1) * 3 + (i - 1)
    set(id, { type = k_image, member = string.format("piece%d_%d", w - 1, i - 1), parent = MAP,
              rect = { boxX[w] + 4 + (i - 1) * 44, boxY[w] + 58, 40, 30 }, image = piece })
  end
  set(tags[w], { type = k_video, member = "tag" .. (w - 1), parent = MAP, rect = { boxX[w] + 95, boxY[w] - 8, 48, 48 } })
  set(locks[w], { type = k_image, member = "lock" .. (w - 1), parent = MAP,
                  rect = { boxX[w] + 40, boxY[w] + 15, 56, 56 }, image = 0x1177 })
end
set(0x6b4a8493, { type = k_image, member = "extraPiece", parent = MAP,
                  rect = { boxX[12] + 48, boxY[12] + 30, 40, 30 }, image = 0x1176 })
set(0x929062c4, { type = k_container, member = "mapOverlay", parent = MAP, rect = { 0, 0, 800, 600 } })
set(0x5b5a7ba0, { type = k_container, member = "sparkleContainer", parent = MAP, rect = { 0, 0, 800, 600 } })
set(0xf426ff6e, { type = k_button, member = "menuButton", parent = 0, rect = { 16, 548, 160, 44 }, skin = 0x117C,
                  text = 0x10C })
set(PANEL, { type = k_container, member = "scrollPanel", parent = 0, rect = { 190, 90, 420, 420 }, visible = false })
set(CONTENT, { type = k_container, member = "scrollContent", parent = PANEL, rect = { 0, 0, 420, 420 } })
set(0xb6d26ff0, { type = k_button, member = "playButton", parent = CONTENT, rect = { 40, 350, 160, 44 },
                  skin = 0x117C, text = 0x10F })
set(0x8595707d, { type = k_button, member = "closeScrollButton", parent = CONTENT, rect = { 220, 350, 160, 44 },
                  skin = 0x117C, text = 0x112 })
set(0x46e43224, { type = k_video, member = "endingSprite", parent = 0, rect = { 0, 0, 800, 600 }, visible = false })
set(0x95b94136, { type = k_video, member = "speakerA", parent = 0, rect = { 600, 380, 180, 200 }, visible = false })
set(0xfb5e320b, { type = k_video, member = "speakerB", parent = 0, rect = { 20, 380, 180, 200 }, visible = false })

-- The panels that the map building, the chooser and the scroll move are placed on the screen; the rest wait hidden.
local roles = {
  [0x34f02029] = "mapPicture", [0x1f339fad] = "tripPanelLeft", [0x92f8b060] = "tripPanelRight",
  [0x4bd0f7ba] = "tripCover", [0x61208374] = "tripArrival", [0x9a0017c2] = "chooserDimmer",
  [0xb4e5db57] = "awardMarker", [0x30c7e7ea] = "endingEmblem", [0x33d63bec] = "awardPanel",
  [0x79032327] = "awardIcon", [0x5fa61327] = "questButton0", [0xf64ad0df] = "questButton1",
  [0xb4b7fd11] = "questButton2", [0x040a902e] = "scrollBand", [0x6421371e] = "scrollBottomRoller",
  [0xe729af3b] = "scrollTopRoller",
}
local widgets = {}
for n, id in ipairs(order) do
  local entry = spec[id]
  if entry == nil then
    entry = { type = k_image, member = roles[id] or string.format("widget%08x", id), parent = 0,
              rect = { 300, 200, 64, 64 }, visible = false }
  end
  entry.id = id
  widgets[n] = entry
end
-- Parents before children: the containers first, in the order above, then everything else.
local sorted = {}
for _, w in ipairs(widgets) do if w.type == k_container and w.parent == 0 then sorted[#sorted + 1] = w end end
for _, w in ipairs(widgets) do if w.type == k_container and w.parent ~= 0 then sorted[#sorted + 1] = w end end
-- The map picture is the map container's first child, so that it is drawn under the worlds.
for _, w in ipairs(widgets) do if w.id == 0x34f02029 then sorted[#sorted + 1] = w end end
for _, w in ipairs(widgets) do if w.type ~= k_container and w.id ~= 0x34f02029 then sorted[#sorted + 1] = w end end

-- Widget lists ----------------------------------------------------------------------------------------------------
local function range(from, to)
  local ids = {}
  for p = from, to do ids[#ids + 1] = order[p + 1] end
  return ids
end
local lists = {
  { member = "awardStars", widgets = range(7, 11) },
  { member = "spareWidgets", widgets = range(12, 20) },
  { member = "worldPieces9", widgets = range(23, 25) },
  { member = "worldPieces10", widgets = range(26, 28) },
  { member = "worldPieces11", widgets = range(29, 31) },
}
for w = 0, 8 do lists[#lists + 1] = { member = "worldPieces" .. w, widgets = range(33 + 3 * w, 35 + 3 * w) } end
lists[#lists + 1] = { member = "worldLockOverlays", widgets = range(98, 109) }
lists[#lists + 1] = { member = "questStars0", widgets = range(135, 139) }
lists[#lists + 1] = { member = "questStars1", widgets = range(143, 147) }
lists[#lists + 1] = { member = "questStars2", widgets = range(155, 159) }
lists[#lists + 1] = { member = "worldFiveSprites", widgets = { order[70], order[71], order[72] } }
lists[#lists + 1] = { member = "worldTags", widgets = range(112, 123) }

return {
  folder = 14,
  hint = 615,
  class = "ScreenLayout14",
  base = "SystemMessageScreen",
  baseHeader = "game/screenbase/SystemMessageScreen.h",
  parts = { 3, 5, 19, 23, 28 },
  size = { 800, 600 },
  assets = assets,
  texts = texts,
  widgets = sorted,
  lists = lists,
  buttons = {
    { widget = 0x8595707d, handler = "onCloseScrollClicked" },
    { widget = 0xf426ff6e, handler = "onBackToMenuClicked" },
    { widget = 0xb6d26ff0, handler = "onPlayClicked" },
  },
}
