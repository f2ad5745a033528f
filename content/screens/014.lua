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

-- The map picture is stretched over the map container grown by trunc(800 x 300 / 640) = 375 pixels on every side;
-- its route runs through the worlds' box centres in world order, as fractions of the picture.
local mapMargin = 375
local mapPlaces = {}
for w = 1, 12 do
  mapPlaces[#mapPlaces + 1] = (boxX[w] + boxW / 2 + mapMargin) / (800 + 2 * mapMargin)
  mapPlaces[#mapPlaces + 1] = (boxY[w] + boxH / 2 + mapMargin) / (600 + 2 * mapMargin)
end

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

-- Voice lines -----------------------------------------------------------------------------------------------------
-- Vessa (A) speaks high and quick, Starmantle (B) low and slow; the quest lines are read by a narrator.
local voices = { A = { pitch = 78, speed = 165 }, B = { pitch = 18, speed = 128 }, N = { pitch = 50, speed = 150 } }
local voiceLines = {}
local function say(id, speaker, text) voiceLines[id] = { speaker = speaker, text = text } end
-- Story breaks, in play order.
say(0x1125, "B", "Welcome, traveller. I am Starmantle, keeper of this old map.")
say(0x1126, "A", "And I am Vessa! Every quest you finish brings the map back to life.")
say(0x1127, "B", "Twelve worlds lie hidden under the dust. Each one waits for a helper.")
say(0x1128, "A", "Five stars on a quest earn you a piece of the map. Collect them all!")
say(0x1129, "B", "Go on, then. The harbour is waiting for you.")
say(0x114F, "A", "You found them all! The orchard folk are so pleased.")
say(0x1150, "A", "Keep going, and new roads will open on the map.")
say(0x112B, "B", "A strange road leads far beyond the lagoon.")
say(0x112C, "B", "Pack well, traveller. Some trips take a long time.")
say(0x1146, "A", "Look how far you have come! Half of the map shines again.")
say(0x1147, "B", "Yet the hardest places are still ahead of us.")
say(0x1148, "A", "The desert winds have hidden many treasures.")
say(0x1149, "B", "Watch closely. Nothing there is where it seems.")
say(0x114A, "B", "I will be waiting for you on the other side.")
say(0x114B, "B", "Only the sky port remains. Can you feel the wind?")
say(0x114C, "B", "Finish what you started, and the map is whole.")
say(0x1124, "A", "Welcome back! The map has missed you.")
say(0x114D, "B", "The story is told, but stars still wait to be won.")
say(0x114E, "B", "Return to any world and earn every last star.")
say(0x1141, "B", "A gift for you: your first piece of the map! Each piece shows a little more of the world.")
say(0x1123, "B", "This quest takes you on a long trip. Follow the road to its end.")
say(0x1087, "B", "Choose a quest. Every quest of this world gives its own stars.")
-- The guide's pools.
local poolLines = {
  [0x112D] = "Another piece of the map! Look how it grows.",
  [0x112E] = "Five stars! That piece fits right here.",
  [0x112F] = "The map is getting clearer every day.",
  [0x1130] = "A fine piece. Only a few more to find.",
  [0x1131] = "Well done! The map remembers your work.",
  [0x1132] = "Someone needs a photographer. Take a look!",
  [0x1133] = "A new photo quest is ready for you.",
  [0x1134] = "Bring your camera, traveller. There is work to do.",
  [0x1135] = "The pictures will not take themselves!",
  [0x1136] = "A photo quest has appeared on the map.",
  [0x1137] = "Two pictures, small differences. Can you spot them?",
  [0x1138] = "A quest of differences is waiting.",
  [0x1139] = "Sharp eyes are needed here. Try this one.",
  [0x113A] = "Something has changed. Find out what!",
  [0x113B] = "A new puzzle of differences is open.",
  [0x113C] = "A new world has opened! Go and explore it.",
  [0x113D] = "The road goes on. A new place awaits.",
  [0x113E] = "Look, the lock is gone! A new world is yours.",
  [0x113F] = "Fresh lands to discover. Off you go!",
  [0x1140] = "The map grows wider. A new world is open.",
  [0x10E0] = "A long trip is ahead. The road is far but worth it.",
  [0x10E1] = "Far away, something waits for you.",
  [0x10E2] = "Time for a journey. Pack your bags!",
  [0x10E3] = "The long road is open. Are you ready?",
  [0x10E4] = "A distant place calls for a helper.",
  [0x10E5] = "Follow the long road to a faraway land.",
}
for id, text in pairs(poolLines) do say(id, "B", text) end
-- The quests' own lines: world w's base and the quest number 0..3.
local questBases = { 0x10E6, 0x10EB, 0x10F0, 0x10F5, 0x10FB, 0x1100, 0x1105, 0x110A, 0x110F, 0x1115, 0x111A, 0x111F }
local questSays = { "Find the hidden things in %s.", "Take the photographs in %s.", "Spot the differences in %s.",
                    "Make the long trip from %s." }
for w = 1, 12 do
  for q = 1, 4 do
    local id = questBases[w] + q - 1
    if voiceLines[id] == nil then say(id, "N", string.format(questSays[q], worldNames[w])) end
  end
end

-- Assets ----------------------------------------------------------------------------------------------------------
local named = {
  [0x10CA] = { kind = "image", member = "mapArt", role = "the world map picture", chosen = true,
               recipe = { kind = "map", w = 1240, h = 1080, places = mapPlaces, worlds = 1, seed = 14 } },
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
                          emoji = "star", bob = 6, seed = 6 } },
  [0x10B7] = { kind = "font", member = "nameLabelFont", role = "font of the world name labels",
               recipe = { kind = "font", face = "serif-bold", size = 18 } },
  [0x10B9] = { kind = "video", member = "revealSparkleClip", role = "the map-piece reveal sparkle",
               recipe = { kind = "clip", w = 96, h = 96, frames = 24, fps = 36, format = "gwvideo",
                          palette = "menu", sparkles = 40, seed = 9 } },
  [0x10BA] = { kind = "video", member = "tagClipType0", role = "quest tag clip of type 0",
               recipe = { kind = "clip", w = 48, h = 48, frames = 16, fps = 24, format = "gwvideo", palette = "garden",
                          emoji = "magnifier", bob = 4, seed = 10 } },
  [0x10BB] = { kind = "video", member = "tagClipType1", role = "quest tag clip of type 1",
               recipe = { kind = "clip", w = 48, h = 48, frames = 16, fps = 24, format = "gwvideo", palette = "forest",
                          emoji = "camera", bob = 4, seed = 11 } },
  [0x10BC] = { kind = "video", member = "tagClipType2", role = "quest tag clip of type 2",
               recipe = { kind = "clip", w = 48, h = 48, frames = 16, fps = 24, format = "gwvideo", palette = "menu",
                          emoji = "puzzle", bob = 4, seed = 12 } },
  [0x10BD] = { kind = "video", member = "tagClipType3", role = "quest tag clip of type 3",
               recipe = { kind = "clip", w = 48, h = 48, frames = 16, fps = 24, format = "gwvideo", palette = "desert",
                          emoji = "compass", bob = 4, seed = 13 } },
  [0x10C1] = { kind = "sample", member = "tripSound", role = "the long trip's sound",
               recipe = { kind = "effect", effect = "whoosh" } },
  [0x10C2] = { kind = "sample", member = "pieceRevealSound", role = "a map piece appears", chosen = true,
               recipe = { kind = "effect", effect = "chime" } },
  [0x10C4] = { kind = "sample", member = "tagFinishedSound", role = "a quest tag's animation ends", chosen = true,
               recipe = { kind = "effect", effect = "pop" } },
  [0x10C8] = { kind = "sample", member = "worldOpenSound", role = "a world opens", chosen = true,
               recipe = { kind = "effect", effect = "fanfare" } },
  [0x10C9] = { kind = "sample", member = "nodeSelectSound", role = "a world becomes the active one", chosen = true,
               recipe = { kind = "effect", effect = "click", pitch = 1.5 } },
  [0x10DD] = { kind = "image", member = "starFull", role = "full star of the quest chooser",
               recipe = { kind = "item_panel", emoji = "star", icon = 28 } },
  [0x10DE] = { kind = "image", member = "starEmpty", role = "empty star of the quest chooser",
               recipe = { kind = "frame", w = 28, h = 28, border = 3 } },
  [0x10DF] = { kind = "music", member = "speakerAMusic", role = "speaker A's story-break music",
               recipe = { kind = "music", bars = 8, tempo = 84, loop = false, seed = 31 } },
  [0x1151] = { kind = "music", member = "storyBreak4Music", role = "the story-break music after quest 3",
               recipe = { kind = "music", bars = 8, tempo = 110, loop = false, seed = 32 } },
  [0x1191] = { kind = "music", member = "mapMusic", role = "the world map's music",
               recipe = { kind = "music", bars = 16, tempo = 96, loop = false, seed = 33 } },
  [0x10B0] = { kind = "video", member = "normalEndingClip", role = "the ending after the last story quest",
               recipe = { kind = "clip", w = 320, h = 240, frames = 45, fps = 15, format = "gwvideo", palette = "skyport",
                          sparkles = 60, label = "The End", seed = 40 } },
  [0x10C3] = { kind = "video", member = "perfectEndingClip", role = "the ending for all 180 stars",
               recipe = { kind = "clip", w = 320, h = 240, frames = 45, fps = 15, format = "gwvideo", palette = "menu",
                          sparkles = 120, label = "All 180 stars!", seed = 41 } },
  [0x1184] = { kind = "sample", member = "endingSound", role = "the ending's fanfare",
               recipe = { kind = "effect", effect = "fanfare", pitch = 0.8 } },
  [0x10CB] = { kind = "image", member = "awardPanelPicture", role = "the panel of the stars just earned", chosen = true,
               recipe = { kind = "panel", w = 340, h = 100, palette = "menu", label = "" } },
  [0x10CC] = { kind = "image", member = "awardMarkerPicture", role = "marks the world just played", chosen = true,
               recipe = { kind = "item_panel", emoji = "flag", icon = 40 } },
  [0x10CD] = { kind = "image", member = "speakerFramePicture", role = "the frame around a guide", chosen = true,
               recipe = { kind = "frame", w = 200, h = 220, border = 10, palette = "menu" } },
  [0x10CE] = { kind = "image", member = "speakerAPlate", role = "speaker A's name plate", chosen = true,
               recipe = { kind = "panel", w = 180, h = 30, palette = "garden", label = "Vessa" } },
  [0x10CF] = { kind = "image", member = "speakerBPlate", role = "speaker B's name plate", chosen = true,
               recipe = { kind = "panel", w = 180, h = 30, palette = "space", label = "Starmantle" } },
  [0x10D3] = { kind = "image", member = "questFace0", role = "the face of the hidden-things quest button", chosen = true,
               recipe = { kind = "panel", w = 140, h = 140, corner = 50, palette = "garden", label = "Find" } },
  [0x10D4] = { kind = "image", member = "questFace1", role = "the face of the middle quest button", chosen = true,
               recipe = { kind = "panel", w = 140, h = 140, corner = 50, palette = "forest", label = "Quest" } },
  [0x10D5] = { kind = "image", member = "questFace2", role = "the face of the differences quest button", chosen = true,
               recipe = { kind = "panel", w = 140, h = 140, corner = 50, palette = "space", label = "Spot" } },
  [0x10D6] = { kind = "image", member = "scrollRoller", role = "a roller of the quest scroll", chosen = true,
               recipe = { kind = "panel", w = 420, h = 40, palette = "canyon", label = "" } },
  [0x10D0] = { kind = "image", member = "tripPanelPicture", role = "a half of the long trip's curtain", chosen = true,
               recipe = { kind = "panel", w = 400, h = 600, palette = "desert", label = "" } },
  [0x10D1] = { kind = "image", member = "tripCoverPicture", role = "the long trip's dark cover", chosen = true,
               recipe = { kind = "panel", w = 800, h = 600, corner = 0, palette = "space", label = "" } },
  [0x10D2] = { kind = "image", member = "tripArrivalPicture", role = "the far place the long trip reaches", chosen = true,
               recipe = { kind = "background", w = 800, h = 600, palette = "desert", label = "A long trip", seed = 5 } },
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
    elseif voiceLines[id] ~= nil then
      local line = voiceLines[id]
      entry = { kind = "sample", member = "voice" .. hex4(id), role = "a voice line: " .. line.text,
                recipe = { kind = "speech", text = line.text, voice = "en", pitch = voices[line.speaker].pitch,
                           speed = voices[line.speaker].speed } }
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
  -- Quest q's descriptions start at its base with world 0, then worlds 9, 10, 11, then worlds 1 to 8.
  local groups = { 0x132, 0x148, 0x16C, 0x122 }
  for q = 1, 4 do
    if id >= groups[q] and id < groups[q] + 12 then
      local k = id - groups[q]
      local w = (k == 0 and 1) or (k <= 3 and k + 9) or (k - 2)
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
local function range(from, to)
  local ids = {}
  for p = from, to do ids[#ids + 1] = order[p + 1] end
  return ids
end
-- What each widget is; every widget not named here is a hidden image of the chooser, the scroll or the guide.
local spec = {}
local function set(id, t) spec[id] = t end

set(MAP, { type = k_container, member = "mapContainer", parent = 0, rect = { 0, 0, 800, 600 } })
set(0x34f02029, { type = k_image, member = "mapPicture", parent = MAP, rect = { 0, 0, 800, 600 }, image = 0x10CA })
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
-- The menu button sits in the top-left corner, clear of the first world's name and of the left guide's name plate.
set(0xf426ff6e, { type = k_button, member = "menuButton", parent = 0, rect = { 16, 8, 160, 44 }, skin = 0x117C,
                  text = 0x10C })
set(PANEL, { type = k_container, member = "scrollPanel", parent = 0, rect = { 190, 90, 420, 420 }, visible = false })
set(CONTENT, { type = k_container, member = "scrollContent", parent = PANEL, rect = { 0, 0, 420, 420 } })
set(0xb6d26ff0, { type = k_button, member = "playButton", parent = CONTENT, rect = { 40, 350, 160, 44 },
                  skin = 0x117C, text = 0x10F })
set(0x8595707d, { type = k_button, member = "closeScrollButton", parent = CONTENT, rect = { 220, 350, 160, 44 },
                  skin = 0x117C, text = 0x112 })
set(0x46e43224, { type = k_video, member = "endingSprite", parent = 0, rect = { 0, 0, 800, 600 }, visible = false })
-- The guides: Vessa (A) on the right, Starmantle (B) on the left; each a talking clip under a frame, with a name plate.
set(0x95b94136, { type = k_video, member = "speakerA", parent = 0, rect = { 600, 330, 180, 200 } })
set(0x4dca7eb2, { type = k_image, member = "speakerAFrame", parent = 0, rect = { 590, 320, 200, 220 }, image = 0x10CD })
set(0x261f90dc, { type = k_image, member = "speakerAName", parent = 0, rect = { 600, 534, 180, 30 }, image = 0x10CE })
set(0xfb5e320b, { type = k_video, member = "speakerB", parent = 0, rect = { 20, 330, 180, 200 } })
set(0x42bd6f75, { type = k_image, member = "speakerBFrame", parent = 0, rect = { 10, 320, 200, 220 }, image = 0x10CD })
set(0xc2c76287, { type = k_image, member = "speakerBName", parent = 0, rect = { 20, 534, 180, 30 }, image = 0x10CF })
-- The stars just earned: a panel at the top with the quest type's icon and five stars.
set(0x33d63bec, { type = k_image, member = "awardPanel", parent = 0, rect = { 230, 12, 340, 100 }, image = 0x10CB,
                  visible = false })
set(0x79032327, { type = k_image, member = "awardIcon", parent = 0, rect = { 246, 34, 56, 56 }, image = 0x10B3,
                  visible = false })
for i = 0, 4 do
  set(order[8 + i], { type = k_image, member = string.format("awardStar%d", i), parent = 0,
                      rect = { 318 + 48 * i, 40, 44, 44 }, image = 0x10DD, visible = false })
end
set(0xb4e5db57, { type = k_image, member = "awardMarker", parent = MAP, rect = { 0, 0, 40, 40 }, image = 0x10CC,
                  visible = false })
-- The long trip: two curtain halves, the dark cover and the far place.
set(0x61208374, { type = k_image, member = "tripArrival", parent = 0, rect = { 0, 0, 800, 600 }, image = 0x10D2 })
set(0x1f339fad, { type = k_image, member = "tripPanelLeft", parent = 0, rect = { 0, 0, 400, 600 }, image = 0x10D0 })
set(0x92f8b060, { type = k_image, member = "tripPanelRight", parent = 0, rect = { 400, 0, 400, 600 }, image = 0x10D0 })
set(0x4bd0f7ba, { type = k_image, member = "tripCover", parent = 0, rect = { 0, 0, 800, 600 }, image = 0x10D1 })

-- The quest chooser: a dimmer over the map, a panel with three quest buttons (a round face, which the chooser turns
-- for two of them, the quest's icon, five stars), high enough that the chosen world's name shows below the stars.
set(0x9a0017c2, { type = k_image, member = "chooserDimmer", parent = 0, rect = { 0, 0, 800, 600 }, image = 0x10D1 })
set(0x4a5e4b00, { type = k_container, member = "questChooserPanel", parent = 0, rect = { 150, 110, 500, 240 },
                  visible = false })
set(0xf8836ad3, { type = k_image, member = "chooserFront", parent = 0, rect = { 0, 0, 1, 1 }, visible = false })
local chooserButtons = {
  { id = 0x5fa61327, member = "questButton0", x = 20, hit = 0x955089ec, icon = 0x41b01911, iconImage = 0x10B3,
    face = 0x10D3, stars = range(135, 139) },
  { id = 0xf64ad0df, member = "questButtonMiddle", x = 180, hit = 0x3a2e3873, icon = 0xeecea88e, iconImage = 0x10B4,
    face = 0x10D4, stars = range(143, 147) },
  { id = 0xb4b7fd11, member = "questButton2", x = 340, hit = 0xf8efbce0, icon = 0x2c0f2c1d, iconImage = 0x10B5,
    face = 0x10D5, stars = range(155, 159) },
}
for _, b in ipairs(chooserButtons) do
  set(b.id, { type = k_container, member = b.member, parent = 0x4a5e4b00, rect = { b.x, 20, 140, 200 } })
  set(b.hit, { type = k_image, member = b.member .. "Hit", parent = b.id, rect = { 0, 0, 140, 140 }, image = b.face })
  set(b.icon, { type = k_image, member = b.member .. "Icon", parent = b.id, rect = { 46, 8, 48, 48 },
                image = b.iconImage })
  for i, star in ipairs(b.stars) do
    set(star, { type = k_image, member = string.format("%sStar%d", b.member, i - 1), parent = b.id,
                rect = { 2 + 27 * (i - 1), 160, 26, 26 }, image = 0x10DE })
  end
end
-- The quest scroll: two rollers with the paper band between them, and the content on top.
set(0x6421371e, { type = k_image, member = "scrollRollerB", parent = PANEL, rect = { 0, 0, 420, 40 }, image = 0x10D6 })
set(0xe729af3b, { type = k_image, member = "scrollRollerA", parent = PANEL, rect = { 0, 380, 420, 40 }, image = 0x10D6 })
set(0x040a902e, { type = k_image, member = "scrollBand", parent = PANEL, rect = { 10, 20, 400, 380 }, image = 0x117E })
set(0xd9165de2, { type = k_image, member = "scrollCover", parent = PANEL, rect = { 10, 20, 400, 380 }, image = 0x117E })
set(0xfee4c246, { type = k_image, member = "scrollTitle", parent = CONTENT, rect = { 60, 50, 300, 60 } })
set(0x9c110ce9, { type = k_label, member = "scrollDescription", parent = CONTENT, rect = { 50, 130, 320, 180 },
                  text = 0x132, font = 0x117D })

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
-- The map picture is the map container's first child, so that it is drawn under the worlds, the overlay and the
-- sparkles.
for _, w in ipairs(widgets) do if w.id == 0x34f02029 then sorted[#sorted + 1] = w end end
for _, w in ipairs(widgets) do if w.type == k_container and w.parent ~= 0 then sorted[#sorted + 1] = w end end
for _, w in ipairs(widgets) do if w.type ~= k_container and w.id ~= 0x34f02029 then sorted[#sorted + 1] = w end end

-- Widget lists ----------------------------------------------------------------------------------------------------
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
