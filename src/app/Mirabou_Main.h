#pragma once

#include "color/NotationList.h"
#include "eyedropper/ScreenContext.h"
#include "files/SettingsFile.h"
#include "i18n/LanguageFile.h"

#include <QScopedPointer>
#include <QWidget>
#include <memory>
#include <optional>

namespace Ui {
class TForm1;
}
class ColorViews;
class QAction;
class QMenu;
class TColorModel;
class TEyeWizard;
class TForm2;
class TForm3;
class TForm5;
class TForm4;
class THelpRouter;
class TOpaqueViews;

/// The main window: the views of the current colour, the tool buttons, the
/// three popup menus and the window options, wired to the colour model, the
/// Eye Wizard and the other windows.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    /// programFolder holds settings.ini and the language files, with a
    /// trailing '/'. screens opens the screen the eyedropper reads.
    explicit TForm1(const QString& programFolder, ScreenContextFactory screens = openScreenContext,
                    QWidget* parent = nullptr);
    /// Saves the settings (the destruction steps).
    ~TForm1() override;

    /// The About, Language and Contrast windows, created after this one.
    void attachWindows(TForm2* about, TForm3* language, TForm5* contrast = nullptr);

    // Synchronisation of every view from the hex or the decimal boxes.
    void ChangeOne();
    void ChangeTwo();
    /// Applies language number n to all three windows.
    void ChangeLang(int n);
    /// Opens menu with its top-left corner at the pointer.
    void OpenPopup(QObject* sender, QMenu* menu);

    TColorModel& color() const { return *m_color; }
    TEyeWizard& eyeWizard() const { return *m_eyeWizard; }
    int currentLanguage() const { return m_currentLanguage; }
    bool isStayOnTop() const;
    const QString& programFolder() const { return m_folder; }
    QString languageBaseName(int n) const;
    /// The options as the program end writes them.
    settings::Options options() const;

    void setVisible(bool visible) override;

    /// The Palettes window, made when first wanted (nothing of it is read
    /// at start-up).
    TForm4* palettes();

protected:
    void moveEvent(QMoveEvent* event) override;
    /// A colour or a colour text dropped on the window becomes the current
    /// colour.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    /// Keeps the options as they stand for an end without windows.
    void keepOptions();
    void FormCreate();
    void FormShow();
    void FormDestroy();
    /// The views the colour model keeps in step.
    std::unique_ptr<ColorViews> makeColorViews();
    void setPictures();
    void buildMenus();
    /// What screen readers read of the window beyond what Qt tells them.
    void describeForScreenReaders();
    void buildLanguageMenu(const i18n::LanguageList& languages);
    void connectHandlers();
    void setStayOnTop(bool on);
    void setFlatButtons(bool flat);

    // Tool buttons and options
    void SpeedButton7Click();
    void SpeedButton9Click();
    void SpeedButton12Click();
    void SpeedButton8Click();
    void AlwaysOnTop1Click();
    void FlatButtons1Click();
    void Magnifier1Click();
    // The Eye Wizard's tools
    void buildSampleMenu();
    void readEyeToolOptions(const files::IniFile& file);
    void applyEyeToolTexts(const files::IniFile& file);
    void SampleSizeClick(int across);
    int checkedSampleSize() const;
    // Clipboard
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    // Component editing
    void umRedChange();
    void umGreenChange();
    void umBlueChange();
    void dcRedChange();
    void dcGreenChange();
    void dcBlueChange();
    void umRedExit();
    void dcRedExit();
    void UpDown1Click();
    void UpDown2Click();
    void UpDown3Click();
    void Shape4MouseDown();
    void ColorBox1Change();
    // Eye Wizard and the eye colour
    void SpeedButton1MouseDown();
    void SpeedButton1MouseMove(QPointF global);
    void SpeedButton1MouseUp(Qt::MouseButton button, QPointF global);
    /// Says beside the Eye Wizard why a pick read nothing.
    void EyeWizardPickFailed(PickFailure why);
    void showPickFailure(const QString& text);
    void HexValue1Click();
    void DecValue1Click();
    void RecallEyeColor1Click();
    void ClearEyeColor1Click();
    // Languages, About, links
    void ChangeLangClick(QAction* item);
    void Language2Click();
    void About1Click();
    void Contrast1Click();
    /// Keeps what the Contrast window has changed of its options.
    void ContrastOptionsChanged();
    void WebSite1Click();
    void SendEmail1Click();
    void HelpContents1Execute();
    // The history and the palettes
    void Palettes1Click();
    void AddCurrentColor1Click();
    // Notations
    void buildNotationMenus();
    void addNotationItems(QMenu* menu);
    void applyNotationTexts(const files::IniFile& file);
    /// The items of a notation menu show color in each notation (disabled
    /// where there is none).
    void showNotations(QMenu* menu, std::optional<PackedColor> color);
    std::optional<PackedColor> currentColor() const;
    std::optional<PackedColor> eyeColor() const;
    void CopyAsClick(qsizetype notation);
    void CopyAgain1Click();
    void EyeCopyAsClick(qsizetype notation);
    void PasteColor1Click();

    QScopedPointer<Ui::TForm1> m_ui;
    QString m_folder;
    QString m_settingsPath;
    std::shared_ptr<settings::OptionsKeeper> m_kept;
    std::unique_ptr<ColorViews> m_views;
    TColorModel* m_color = nullptr;
    TEyeWizard* m_eyeWizard = nullptr;
    TOpaqueViews* m_opaque = nullptr;
    TForm2* m_about = nullptr;
    TForm3* m_language = nullptr;
    TForm5* m_contrast = nullptr; // gone before this window
    QPoint m_contrastPosition;
    bool m_contrastSwap = false;
    TForm4* m_palettes = nullptr;
    QString m_languageFile; // of the language applied last

    QStringList m_pickFailedTexts; // by PickFailure, in the current language
    QString m_untold;              // why the pick under way failed, for its release
    notation::NotationList m_notations;
    qsizetype m_copyAs = 0; // the notation Copy As used last
    QString m_copyAgainText;
    QString m_noColorText;
    QStringList m_languageList; // entry n-1: base name of language n
    int m_currentLanguage = 0;
    bool m_shown = false;

public:
    // Menus and their items, named as the layout names them.
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QMenu* PopupMenu3 = nullptr;
    QAction* AlwaysOnTop1 = nullptr;
    QAction* FlatButtons1 = nullptr;
    QMenu* Language1 = nullptr;
    QAction* Magnifier1 = nullptr;
    /// The squares a pick may average: an item per size (Sample1x1...).
    QMenu* SampleSize1 = nullptr;
    QMenu* CopyEyeColorHexValue1 = nullptr;
    QAction* HexValue1 = nullptr;
    QAction* DecValue1 = nullptr;
    QAction* RecallEyeColor1 = nullptr;
    QAction* ClearEyeColor1 = nullptr;
    QAction* About1 = nullptr;
    QAction* Language2 = nullptr;
    /// Opens the Contrast window.
    QAction* Contrast1 = nullptr;
    QAction* WebSite1 = nullptr;
    QAction* SendEmail1 = nullptr;
    /// The colour in every notation: its menu, the key that opens it,
    /// copying again in the notation used last, and Paste Color.
    QMenu* CopyAs1 = nullptr;
    QAction* OpenCopyAs1 = nullptr;
    QAction* CopyAgain1 = nullptr;
    QAction* PasteColor1 = nullptr;
    QAction* HelpContents1 = nullptr;
    /// The Palettes window, and adding the current colour to its palette.
    QAction* Palettes1 = nullptr;
    QAction* AddCurrentColor1 = nullptr;
    /// The swatch's press from the keyboard (no menu shows it).
    QAction* ChooseColor1 = nullptr;
    THelpRouter* HelpRouter1 = nullptr;
};
