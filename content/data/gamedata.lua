-- The demo game data: twelve worlds of quests (levels), each quest a short
-- list of tasks. tools/gamedata writes the XML the game reads from the table
-- this file returns.
--
-- Quest ids run 0 to 47, four per world; the ids the game keeps as stubs
-- (12, 14, 15, 17, 19, 21, 37, 40, 42, 44, 46, 47) hold only their id.
-- Quest types tell the quests of one world apart: 0 the world's story quest
-- (unlocking it opens the world), 1 a picture hunt, 2 spot the differences,
-- 3 a character hunt. Finishing a world's story quest opens the world's other
-- quests and the next world's story quest.
--
-- Power-up kinds: 0 Throw, 1 Shower, 2 ComboBoost (helpful), 3 Stun, 4 Cover,
-- 5 Flip, 6 Splat, 7 Quake (the Drabb's tricks).

-- Tasks ----------------------------------------------------------------------

local ratios = {40, 30, 20, 10}

-- Types 0 Zibbo, 1 Starmantle, 2 Vessa, 3 Tuff, 4 Drabb, 7 scroll, 12
-- watchers, 13 travelers, 14 creatures: one find (or the whole category).
local function find(taskType)
  return { type = taskType, ratios = ratios }
end

local function characters(zibbo, vessa, starmantle)
  return { type = 5, ratios = ratios, kidsRatios = {60, 40}, zibbo = zibbo, vessa = vessa,
           starmantle = starmantle }
end

-- A picture search: {min, max} of each count, plain and Kids.
local function pictureSearch(common, multiples, vignettes)
  return { type = 6,
           plain = { vignettes = vignettes or {1, 2}, common = common or {6, 9}, multiples = multiples or {1, 2},
                     copies = {3, 3}, ratios = {30, 30, 20, 10, 10} },
           kids = { vignettes = {0, 1}, common = {4, 6}, multiples = {1, 1}, copies = {2, 2},
                    ratios = {50, 30, 20} } }
end

local function photographs(count)
  return { type = 8, count = count }
end

local function differences(count)
  return { type = 9, count = count, left = 1200, top = 0 }
end

local function story(world, quest, lines, large)
  local strings, samples = {}, {}
  for i = 1, lines do
    strings[i] = string.format("Story_W%02d_Q%02d_%02d", world, quest, i)
    samples[i] = string.format("VO_W%02d_Q%02d_%02d", world, quest, i)
  end
  return { type = 15, strings = strings, samples = samples, large = large or false }
end

-- Types 10, 11 and 16 to 21 carry no data.
local function plain(taskType)
  return { type = taskType }
end

-- Quests ---------------------------------------------------------------------

local function quest(id, questType, world, unlocks, tasks, extra)
  local q = {
    id = id, type = questType, world = world, unlocks = unlocks, tasks = tasks,
    timer = 300000, kidsTimer = 420000, hints = 3, kidsHints = 5, bones = 3, kidsBones = 2,
    powerUps = {0, 1, 2}, kidsPowerUps = {0, 2}, initialPowerUps = {0, 2},
    pause = 8000, kidsPause = 3000, reward = 0.04, kidsReward = 0.06,
    stars = {35, 50, 65, 80, 95}, interruptTimer = 60000, kidsInterruptTimer = 90000, interrupt = 0,
  }
  for k, v in pairs(extra or {}) do
    q[k] = v
  end
  return q
end

local function stub(id)
  return { id = id }
end

local worlds = {
  { -- 1: creatures, watchers
    quest(0, 0, 1, {1, 2, 3, 4}, {story(1, 0, 2, true), find(0), pictureSearch(), find(7), plain(18)}),
    quest(1, 1, 1, {}, {pictureSearch(), find(14), plain(17)}, { interrupt = 1 }),
    quest(2, 2, 1, {}, {differences(5), plain(19)}),
    quest(3, 3, 1, {}, {find(12), characters(1, 0, 1), plain(20)}),
  },
  { -- 2: photographs, watchers, travelers
    quest(4, 0, 2, {5, 6, 7, 8}, {story(2, 4, 2), find(0), pictureSearch(), find(7), plain(16)}),
    quest(5, 1, 2, {}, {pictureSearch(), photographs(5), plain(21)}, { interrupt = 1 }),
    quest(6, 2, 2, {}, {differences(6), plain(19)}),
    quest(7, 3, 2, {}, {find(13), find(2), plain(10)}),
  },
  { -- 3: creatures, travelers
    quest(8, 0, 3, {9, 10, 11, 13}, {story(3, 8, 3), find(0), pictureSearch(), find(7)}),
    quest(9, 1, 3, {}, {pictureSearch({5, 7}), find(14), find(4)}),
    quest(10, 2, 3, {}, {differences(5), plain(17)}),
    quest(11, 3, 3, {}, {find(13), find(1), find(3), plain(11)}),
  },
  { -- 4: creatures, watchers, travelers
    stub(12),
    quest(13, 0, 4, {16}, {story(4, 13, 2), find(0), pictureSearch(), find(12), find(7), plain(18)},
          { interrupt = 1 }),
    stub(14),
    stub(15),
  },
  { -- 5: photographs, watchers, travelers
    quest(16, 0, 5, {18, 20}, {story(5, 16, 2), find(0), pictureSearch(), find(7), plain(16)}),
    stub(17),
    quest(18, 1, 5, {}, {photographs(6), pictureSearch({6, 8}), characters(1, 1, 0)}),
    stub(19),
  },
  { -- 6: creatures, watchers, travelers
    quest(20, 0, 6, {22, 23, 24}, {story(6, 20, 2), find(0), pictureSearch(), find(14), find(7)}),
    stub(21),
    quest(22, 1, 6, {}, {pictureSearch(), find(2), plain(20)}, { interrupt = 1 }),
    quest(23, 2, 6, {}, {differences(7), plain(21)}),
  },
  { -- 7: photographs, travelers
    quest(24, 0, 7, {25, 26, 27, 28}, {story(7, 24, 2), find(0), pictureSearch(), find(7), plain(17)}),
    quest(25, 1, 7, {}, {pictureSearch(), photographs(5), find(3)}),
    quest(26, 2, 7, {}, {differences(6), plain(19)}),
    quest(27, 3, 7, {}, {find(13), characters(0, 1, 1), find(4)}),
  },
  { -- 8: creatures, travelers
    quest(28, 0, 8, {29, 30, 31, 32}, {story(8, 28, 2), find(0), pictureSearch(), find(7), plain(16)}),
    quest(29, 1, 8, {}, {pictureSearch({7, 9}, {2, 2}), find(14), plain(20)}, { interrupt = 1 }),
    quest(30, 2, 8, {}, {differences(8), plain(21)}),
    quest(31, 3, 8, {}, {find(13), find(1), plain(10)}),
  },
  { -- 9: photographs, watchers, travelers
    quest(32, 0, 9, {33, 34, 35, 36}, {story(9, 32, 3), find(0), pictureSearch(), find(7), plain(18)}),
    quest(33, 1, 9, {}, {pictureSearch(), photographs(7), plain(17)}, { interrupt = 1 }),
    quest(34, 2, 9, {}, {differences(6), plain(19)}),
    quest(35, 3, 9, {}, {find(12), find(13), characters(1, 1, 1)}),
  },
  { -- 10: creatures, watchers, travelers
    quest(36, 0, 10, {38, 39, 41}, {story(10, 36, 2), find(0), pictureSearch(), find(7), plain(16)}),
    stub(37),
    quest(38, 1, 10, {}, {pictureSearch(), find(14), find(3), plain(11)}),
    quest(39, 3, 10, {}, {find(12), find(2), find(4)}),
  },
  { -- 11: photographs, travelers
    stub(40),
    quest(41, 0, 11, {43, 45}, {story(11, 41, 2), find(0), pictureSearch(), photographs(5), find(7)},
          { interrupt = 1 }),
    stub(42),
    quest(43, 2, 11, {}, {differences(7), plain(20)}),
  },
  { -- 12: photographs, watchers, travelers
    stub(44),
    quest(45, 0, 12, {}, {story(12, 45, 3, true), find(0), pictureSearch({8, 9}, {2, 2}, {2, 2}), find(13),
                          find(7), plain(21)}),
    stub(46),
    stub(47),
  },
}

return {
  worlds = worlds,
  multiplayerPowerUps = {0, 1, 2, 3, 4, 5, 6, 7},
  negativePowerUps = {3, 4, 5, 6, 7},
}
