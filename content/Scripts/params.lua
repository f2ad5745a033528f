-- Tuning values of the game, read once at start-up. Every value below must be
-- present with its type: a missing or mistyped one stops the game.

-- Display and cursors.
FullScreen = false           -- start in a window
CustomCursor = true          -- the game's own cursors

-- Wrong clicks: this many misses within this many milliseconds count as
-- random clicking and are penalised.
WrongHitTimer = 5000
WrongHitCounter = 3

-- Scene sizes at the four zoom levels (pixels; the scene is 2400 x 1600).
Map100Width = 2400
Map100Height = 1600
Map75Width = 1800
Map75Height = 1200
Map50Width = 1200
Map50Height = 800
Map150Width = 3600
Map150Height = 2400

-- Combo window and the warning before it runs out (milliseconds).
ComboTime = 4000
ComboWarning = 1000

-- Movement and scoring multipliers.
BaseMove = 1.0
Rnd1Mult = 1.0
Rnd2Mult = 1.5
Rnd3Mult = 2.0
OverTimeMult = 0.5

-- Gameplay screen animations.
TimerAnimDuration = 600      -- milliseconds
DizzyBirdMax = 3             -- birds circling a penalised cursor

-- Offsets of the cursor effects (pixels; fractions are cut off).
BreakX = 4
BreakY = 4
ClickX = 2
ClickY = 2
DragX = 6
DragY = 0
FlickX = 8
FlickY = -4
ShakeX = 5
ShakeY = 3
SlowX = 1
SlowY = 1
SmackX = 10
SmackY = -6
SmackReverseX = -10
SmackReverseY = 6

-- World map positions, one entry per world, laid out for 640 x 480 and
-- scaled to the screen. The first entry belongs to world 0. The worlds wind
-- up the map in three rows (0-3 left to right along the bottom, 4-7 back
-- along the middle, 8-11 along the top); the boxes do not overlap.
OriginX = { 60, 215, 370, 525, 525, 370, 215, 60, 60, 215, 370, 525 }
OriginY = { 358, 358, 358, 358, 208, 208, 208, 208, 58, 58, 58, 58 }
TagX = { 106, 261, 416, 571, 571, 416, 261, 106, 106, 261, 416, 571 }
TagY = { 344, 344, 344, 344, 194, 194, 194, 194, 44, 44, 44, 44 }
BoxX = { 30, 185, 340, 495, 495, 340, 185, 30, 30, 185, 340, 495 }
BoxY = { 350, 350, 350, 350, 200, 200, 200, 200, 50, 50, 50, 50 }
BoxW = { 110, 110, 110, 110, 110, 110, 110, 110, 110, 110, 110, 110 }
BoxH = { 80, 80, 80, 80, 80, 80, 80, 80, 80, 80, 80, 80 }
