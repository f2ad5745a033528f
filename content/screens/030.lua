-- Folder 30: The system-message screens' own folder: no widgets, texts or assets. Every screen that shows the
-- system's prompts binds it after folder 27, so its root record suits any screen: the whole 800 x 600 screen, scale
-- 1000, depth 0.
return {
  folder = 30,
  hint = 4,
  class = "ScreenLayout30",
  base = "PromptScreen",
  baseHeader = "game/screenbase/PromptScreen.h",
  size = { 800, 600 },
  assets = {},
  texts = {},
  widgets = {},
}
