#pragma once

// Button codes of pointer events. The mouse and the game pad both report on
// pointer 0: the mouse with its three buttons, the pad with its stick
// directions and its first six buttons.
enum FPointerButton : int {
    k_stickLeft = 0,
    k_stickRight = 1,
    k_stickUp = 2,
    k_stickDown = 3,
    // No device raises it; the screen takes it as the confirm key (space).
    k_confirm = 6,
    k_mouseLeft = 8,
    k_mouseRight = 9,
    k_mouseMiddle = 10,
    k_padButton2 = 11,
    k_padButton3 = 12,
    k_padButton0 = 13,
    k_padButton1 = 14,
    k_padButton4 = 15,
    k_padButton5 = 16,
};
