#pragma once

class FString;

// Shows the text of the first fatal failure to the user and returns when the
// user has closed it. The program installs a dialog (platform); without one,
// and in tests, the text goes to standard error.
class FFatalMessageBox
{
public:
    virtual ~FFatalMessageBox() = default;
    virtual void show(const FString& caption, const FString& text) = 0;

    // Installs `box` (null: standard error); returns the previous one. The
    // box must outlive its installation.
    static FFatalMessageBox* install(FFatalMessageBox* box);
    static FFatalMessageBox& current();
};
