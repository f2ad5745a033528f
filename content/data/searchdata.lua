-- The twelve worlds' search data: what each world offers to find, named by
-- the item keys of the world's scene ("World", the two-digit world number,
-- the word of the item's kind, a two-digit number, sometimes a suffix).
--
-- The facts below are the worlds' scene content; the lists the game reads
-- are built from them at the end of this file. tools/gamedata writes one XML
-- file per world from the table this file returns.

local worlds = {
  -- pictures: the picture numbers in runs {from, to}; multiples: the run of
  -- picture numbers that are multiples. gallery: "Creature" or "Photographs".
  { pictures = {{1, 31}}, multiples = {17, 22}, vignettes = 16, gallery = "Creature",
    differences = "Differences", vessas = 5, travelers = 0, watchers = 3, theme = "Harbour" },
  { pictures = {{1, 28}}, multiples = {15, 20}, vignettes = 7, gallery = "Photographs",
    differences = "Differences", vessas = 5, travelers = 1, watchers = 2, theme = "Orchard" },
  { pictures = {{1, 28}, {40, 40}}, multiples = {16, 21}, vignettes = 18, gallery = "Creature",
    differences = "Difference", vessas = 5, travelers = 2, watchers = 0, theme = "Market" },
  { pictures = {{1, 37}}, multiples = {17, 22}, vignettes = 7, gallery = "Creature",
    differences = "Difference", vessas = 6, travelers = 3, watchers = 2, theme = "Lagoon",
    -- Picture 30 has no companions in its scene, so it is never offered.
    withoutPictures = {30} },
  { pictures = {{1, 27}, {40, 42}}, multiples = {12, 17}, vignettes = 7, gallery = "Photographs",
    differences = "Difference", vessas = 5, travelers = 4, watchers = 2, theme = "Canyon" },
  { pictures = {{1, 31}, {40, 43}}, multiples = {17, 22}, vignettes = 7, gallery = "Creature",
    differences = "Difference", vessas = 6, travelers = 5, watchers = 2, theme = "Glacier" },
  { pictures = {{1, 27}, {40, 41}}, multiples = {13, 18}, vignettes = 7, gallery = "Photographs",
    differences = "Difference", vessas = 5, travelers = 6, watchers = 0, theme = "Jungle" },
  { pictures = {{1, 32}, {40, 40}}, multiples = {19, 25}, vignettes = 11, gallery = "Creature",
    differences = "Difference", vessas = 5, travelers = 7, watchers = 0, theme = "Castle" },
  { pictures = {{1, 34}, {50, 52}}, multiples = {15, 20}, vignettes = 7, gallery = "Photographs",
    differences = "Difference", vessas = 5, travelers = 8, watchers = 4, theme = "Desert" },
  { pictures = {{1, 27}, {40, 43}}, multiples = {15, 20}, vignettes = 7, gallery = "Creature",
    differences = "Difference", vessas = 5, travelers = 9, watchers = 2, theme = "Reef" },
  { pictures = {{1, 27}, {40, 42}}, multiples = {15, 20}, vignettes = 7, gallery = "Photographs",
    differences = "Difference", vessas = 5, travelers = 10, watchers = 0, theme = "Volcano" },
  { pictures = {{1, 31}}, multiples = {19, 24}, vignettes = 7, gallery = "Photographs",
    differences = "Differences", vessas = 5, travelers = 11, watchers = 5, theme = "Skyport" },
}

-- Counts every world shares.
local copiesPerMultiple = 5
local creatures = 3
local photographs = 20
local differences = 18
local hints = 15
local specials = { Drabb = 5, Zibbo = 5, Starmantle = 5, Tuff = 3 }
-- A travelers search shows at most ten travelers.
local maxTravelers = 10

local function two(n)
  return string.format("%02d", n)
end

-- One record. Ratings run 1 to 5 so every difficulty class has pictures; a
-- few pictures are kept out of the Kids search.
local function record(name, rating, forKids, panelText)
  return { fileName = name, difficultyRating = rating, type = 0, forKids = forKids, forIngame = 1,
           forParty = 1, panelText = panelText or "" }
end

local function numbered(prefix, word, count)
  local list = {}
  for i = 1, count do
    list[#list + 1] = record(prefix .. word .. two(i), (i - 1) % 5 + 1, 1)
  end
  return list
end

local function contains(list, value)
  for _, v in ipairs(list or {}) do
    if v == value then return true end
  end
  return false
end

local function buildWorld(number, w)
  local prefix = "World" .. two(number)
  local data = {}
  data.CREATURES, data.PHOTOS = {}, {}
  if w.gallery == "Creature" then
    for c = 1, creatures do
      for copy = 1, copiesPerMultiple do
        data.CREATURES[#data.CREATURES + 1] =
          record(prefix .. "Creature" .. two(c) .. "Multiple" .. two(copy), c, 1)
      end
    end
  else
    data.PHOTOS = numbered(prefix, "Photographs", photographs)
  end
  data.DIFFERENCES = numbered(prefix, w.differences, differences)
  data.HINTS = numbered(prefix, "Hint", hints)
  data.PICTURES, data.PICTUREMULTIPLES = {}, {}
  for _, run in ipairs(w.pictures) do
    for p = run[1], run[2] do
      local name = prefix .. "Picture" .. two(p)
      if p >= w.multiples[1] and p <= w.multiples[2] then
        for copy = 1, copiesPerMultiple do
          data.PICTUREMULTIPLES[#data.PICTUREMULTIPLES + 1] =
            record(name .. "Multiple" .. two(copy), (p - 1) % 5 + 1, 1)
        end
      elseif not contains(w.withoutPictures, p) then
        data.PICTURES[#data.PICTURES + 1] = record(name, (p - 1) % 5 + 1, p % 7 == 0 and 0 or 1)
      end
    end
  end
  data.SPECIALS = {}
  data.DRABBS = numbered(prefix, "SpecialDrabb", specials.Drabb)
  data.ZIBBOS = numbered(prefix, "SpecialZibbo", specials.Zibbo)
  data.VESSAS = numbered(prefix, "SpecialVessa", w.vessas)
  data.STARMANTLES = numbered(prefix, "SpecialStarmantle", specials.Starmantle)
  data.TUFFS = numbered(prefix, "SpecialTuff", specials.Tuff)
  data.SCROLL = numbered(prefix, "SpecialScroll", 1)
  data.VIGNETTES = {}
  for v = 1, w.vignettes do
    data.VIGNETTES[#data.VIGNETTES + 1] = record(prefix .. "Vignette" .. two(v), (v - 1) % 5 + 1, 1,
      "InGame_Carousel_VignetteText_" .. w.theme .. two(v))
  end
  data.WATCHERS = numbered(prefix, "Watcher", w.watchers)
  data.TRAVELERS = numbered(prefix, "Travelers", math.min(w.travelers, maxTravelers))
  return data
end

local result = {}
for number, w in ipairs(worlds) do
  result[number] = buildWorld(number, w)
end
return result
