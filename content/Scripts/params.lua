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
-- scaled to the screen. The first entry belongs to world 0.
OriginX = { 80, 190, 300, 410, 520, 560, 470, 360, 250, 140, 60, 320 }
OriginY = { 380, 400, 370, 390, 360, 260, 230, 250, 220, 240, 140, 90 }
TagX = { 60, 170, 280, 390, 500, 540, 450, 340, 230, 120, 40, 300 }
TagY = { 420, 440, 410, 430, 400, 300, 270, 290, 260, 280, 180, 130 }
BoxX = { 40, 150, 260, 370, 480, 520, 430, 320, 210, 100, 20, 280 }
BoxY = { 340, 360, 330, 350, 320, 220, 190, 210, 180, 200, 100, 50 }
BoxW = { 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100 }
BoxH = { 70, 70, 70, 70, 70, 70, 70, 70, 70, 70, 70, 70 }
