#pragma once
// The setup dialog "Make a Marvoscope": picture file, mouse sensitivity and background colour.
#include <cstdint>
#include <memory>

#include "platform/ui/controls/checkbox.h"
#include "platform/ui/controls/commandbutton.h"
#include "platform/ui/controls/commondialog.h"
#include "platform/ui/controls/frame.h"
#include "platform/ui/controls/label.h"
#include "platform/ui/controls/line.h"
#include "platform/ui/controls/picturebox.h"
#include "platform/ui/controls/scrollbar.h"
#include "platform/ui/controls/shape.h"
#include "platform/ui/controls/tabstrip.h"
#include "platform/ui/controls/textbox.h"
#include "platform/ui/form.h"
#include "platform/ui/layout.h"
#include "settings/settings.h"
#include "setup/caption_choice.h"
#include "setup/folder_line.h"
#include "setup/frmCaptions.h"

namespace mv {

struct App;

// Addresses of the two web links: "http://" and the host name each link's caption shows.
inline constexpr const char* kMakerHost = MARVOSCOPE_MAKER_HOST;
inline constexpr const char* kImagesHost = MARVOSCOPE_IMAGES_HOST;

class frmSetup2 : public Form {
public:
    static constexpr const char* kCaption = "Make a Marvoscope";
    // Link colours: pressed, released.
    static constexpr int32_t kLinkPressed = 0x0000FF;
    static constexpr int32_t kLinkReleased = 0xFF0000;

    explicit frmSetup2(App& app);
    ~frmSetup2() override;
    App& app() const { return app_; }

    const Layout* layout() const override { return layout_.get(); }

    // Controls, with their design names.
    TabStrip SSTab1{"SSTab1"};
    CommandButton Command1{"Command1"};
    CommandButton Command6{"Command6"};
    // "File" tab.
    Label Label11{"Label11"};
    Frame Frame3{"Frame3"};
    TextBox txFile{"txFile"};
    CommandButton Command5{"Command5"};
    Label Label15{"Label15"};
    CommonDialog CommonDialog1;
    // "Mouse" tab, with the delay group that lies below its frame's lower edge.
    Frame Frame1{"Frame1"};
    TextBox Sensit{"Sensit"};
    Label Label7{"Label7"};
    TextBox Text3{"Text3"};
    ScrollBar VScroll1{"VScroll1", Orientation::Vertical};
    CommandButton Command2{"Command2"};
    Label Label5{"Label5"};
    CheckBox ChkOpenSS{"ChkOpenSS"};
    Label Label6{"Label6"};
    // "Colors" tab.
    Label Label8{"Label8"};
    PictureBox Picture2{"Picture2"};
    Shape Shape1{"Shape1"};
    Shape Shape2{"Shape2"};
    Shape Shape3{"Shape3"};
    ScrollBar HScroll1{"HScroll1", Orientation::Horizontal};
    ScrollBar HScroll2{"HScroll2", Orientation::Horizontal};
    ScrollBar HScroll3{"HScroll3", Orientation::Horizontal};
    PictureBox Picture1{"Picture1"};
    Label Label2{"Label2"};
    // "URLs" tab.
    Label Label9{"Label9"};
    Line Line1{"Line1"};
    Label Label12{"Label12"};
    Label Label14{"Label14"};
    Line Line2{"Line2"};
    Label Label13{"Label13"};
    // "Help" tab.
    Frame Frame4{"Frame4"};
    Label Label16{"Label16"};
    Label Label17{"Label17"};
    // "Show" tab: how the picture meets the screen; each group holds one chosen box.
    Frame FramePicture{"FramePicture"};
    CheckBox OptStretch{"OptStretch"};
    CheckBox OptFit{"OptFit"};
    CheckBox OptFill{"OptFill"};
    Frame FrameMonitors{"FrameMonitors"};
    CheckBox OptEach{"OptEach"};
    CheckBox OptSpan{"OptSpan"};
    CheckBox OptDifferent{"OptDifferent"};
    // Opens "Captions and bars": the caption, the clock and what lies beside a whole picture.
    CommandButton CmdCaptions{"CmdCaptions"};
    // Also on "Show": a folder as the picture, and how its pictures take turns.
    Frame FrameSlides{"FrameSlides"};
    CommandButton CmdFolder{"CmdFolder"};
    // What the "File" box will play, beside "Folder...".
    Label LabelFolder{"LabelFolder"};
    Label LabelInterval{"LabelInterval"};
    TextBox TxtInterval{"TxtInterval"};
    CheckBox ChkShuffle{"ChkShuffle"};
    CheckBox ChkFade{"ChkFade"};
    CheckBox ChkSubfolders{"ChkSubfolders"};
    // The one line at the foot of the "File" page: why the show could not start, or that
    // "Save settings, Close" could not save.
    Label LabelSaveFailed{"LabelSaveFailed"};

    // Lifecycle and saving.
    void Form_Load() override;
    void Form_Unload(int16_t& cancel) override;
    void Sensit_Change();
    void Text3_Change();
    void Command1_Click();
    void Command2_Click();
    void Command6_Click();
    // Background colour selector.
    void HScroll1_Change();
    void HScroll2_Change();
    void HScroll3_Change();
    // Picture file selection.
    void Command5_Click();
    // A folder of pictures chosen with the platform's folder chooser goes into the "File" box.
    void CmdFolder_Click();
    void CmdCaptions_Click();
    // Web links.
    void Label9_MouseDown(int16_t button, int16_t shift, float x, float y);
    void Label9_MouseUp(int16_t button, int16_t shift, float x, float y);
    void Label14_MouseDown(int16_t button, int16_t shift, float x, float y);
    void Label14_MouseUp(int16_t button, int16_t shift, float x, float y);
    // Says at the foot of the "File" page why the show could not start on `path`: it is
    // missing, a folder, or no picture this program reads. Nothing for an empty path.
    void TellCouldNotShow(const std::string& path);
    // "Captions and bars", once "Captions and bars..." has opened it; else null.
    frmCaptions* captionsForm() const { return captionsForm_.get(); }

private:
    std::unique_ptr<Layout> makeLayout();
    void bindHandlers();
    // Keeps a number field within 1..30; setting the text raises the field's change event again.
    static void KeepInRange(TextBox& field);
    void TellSaveFailed();
    void TellAtFoot(const std::string& line);
    void MixColor();
    // The "Show" tab's choices: shown from and read back as the stored placement.
    void ShowPlacement(const PlacementSetting& setting);
    PlacementSetting ChosenPlacement() const;
    void BindPlacementOptions();
    // The folder's values: shown from and read back as the stored ones.
    void ShowSlideshow(const SlideshowSetting& setting);
    // Brings the line beside "Folder..." up to the "File" box.
    void ShowFolderLine();
    SlideshowSetting ChosenSlideshow() const;
    // The caption and clock as stored; the small dialog changes them, "Save settings, Close"
    // stores them.
    void ShowCaption(const CaptionSetting& setting);
    void TakeCaptions(const CaptionChoice& chosen);
    void PressLink(Label& label, Line& underline, const std::string& address);
    void ReleaseLink(Label& label, Line& underline);

    App& app_;
    std::unique_ptr<Layout> layout_;
    CaptionChoice captions_;
    std::unique_ptr<frmCaptions> captionsForm_;
};

}  // namespace mv
