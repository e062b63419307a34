// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "ui/help_windows.h"

#include <QLabel>
#include <QPixmap>

#include "product.h"
#include "ui/caption_label.h"
#include "ui/look.h"
#include "ui/push_button.h"

namespace storagecalc {

namespace {

struct LabelDesign {
    const char* name;
    QRect geometry;
    const char* caption;
};

struct PictureDesign {
    const char* name;
    QPoint position;
    const char* resource;
};

struct WindowDesign {
    const char* name;
    const char* title;
    QSize clientSize;
    bool resizable;
    bool centred;
    QRect okGeometry;
    Qt::Alignment labelAlignment;
    std::vector<LabelDesign> labels;
    std::vector<PictureDesign> pictures;
};

WindowDesign instructionsDesign() {
    return {
        "instructions",
        product::kInstructionsTitle,
        {395, 236},
        true,
        false,
        {152, 192, 89, 33},
        Qt::AlignLeft,
        {
            {"Label1",
             {16, 16, 377, 33},
             "1.  Select the Number of Cameras and the desired Video Resolution.                 "
             "       These parameters must be selected first; they will affect the other "
             "settings."},
            {"Label2",
             {16, 48, 361, 17},
             "2.  Select the Picture Quality and the Recording Rate (images per second)."},
            {"Label3",
             {16, 72, 377, 33},
             "3.  If you are enabling Audio, select the desired Audio Sampling Rate.             "
             "          If you are not using Audio, select 'No Audio'."},
            {"Label4", {16, 112, 377, 17}, "4.  Select the HDD size of the DVR you are using."},
            {"Label5",
             {16, 136, 385, 33},
             "5.  Click Calculate.                                                            "
             "                                             The program will display the "
             "Recording Time, in both hours and days."},
            {"Label6", {16, 168, 377, 17}, "6.  Click Clear to reset all settings and start over."},
        },
        {},
    };
}

WindowDesign glossaryDesign() {
    return {
        "glossary",
        product::kGlossaryTitle,
        {545, 308},
        true,
        false,
        {224, 264, 89, 33},
        Qt::AlignLeft,
        {
            {"Label6", {16, 8, 89, 17}, "# of Cameras :   "},
            {"Label8",
             {112, 8, 417, 17},
             "This is the number of cameras that are connected to the DVR.   (1 to 16 cameras)"},
            {"Label7", {16, 32, 89, 17}, "Resolution  :"},
            {"Label1",
             {112, 32, 417, 41},
             "This represents the size of the image, in pixels.  The available resolutions on "
             "this DVR     are 720 x 240 (2CIF) and 360 x 240 (CIF).  The resolution and the "
             "number of cameras will determine the available recording rates of each video "
             "source."},
            {"Label9", {16, 80, 89, 17}, "Picture Quality : "},
            {"Label2",
             {112, 80, 417, 41},
             "This is the setting that controls the quality of the picture you are capturing.  "
             "The highest quality setting will use the most hard disk space.  The lowest quality "
             "setting will use up the least amount of hard disk space.  (Q7 - High, Q4 - "
             "Average, Q1 - Low)"},
            {"Label10", {16, 128, 89, 17}, "Recording Rate : "},
            {"Label3",
             {112, 128, 417, 41},
             "This is the number of images recorded per second.  The higher the recording rate, "
             "the smoother the video will be during playback.  A lower recording rate will "
             "conserve hard disk space and lengthen recording time, but may be choppy upon "
             "playack."},
            {"Label11", {16, 176, 89, 17}, "Audio Rate :"},
            {"Label5",
             {112, 176, 417, 33},
             "This is the sampling rate of the audio recording being done by the DVR.           "
             "          You may select 'No Audio', '8 kHz Audio (8kb/sec)' and '12 kHz Audio "
             "(12kb/sec)."},
            {"Label12", {16, 216, 89, 17}, "HDD Size :"},
            {"Label4",
             {112, 216, 417, 41},
             "Talvex DVRs work with hard disk sizes of 40GB, 80GB, 120GB, 160GB and 250GB.     "
             "     The MV-4016 will support up to 4 internal HDD's (for up to 1TB of storage.)   "
             "          This DVR is shipped with HDDs in 250GB increments (250GB, 500, 750, and "
             "1TB.)"},
        },
        {},
    };
}

WindowDesign aboutDesign() {
    return {
        "about",
        product::kAboutTitle,
        {314, 338},
        false,
        true,
        {112, 296, 89, 33},
        Qt::AlignHCenter,
        {
            {"Label1",
             {8, 8, 297, 57},
             "This program will help you to estimate how much recording time can be achieved "
             "with your Talvex 16-Channel DVR, given the number of video inputs, resolution, "
             "image quality level, audio sampling rate (optional), and the amount of hard disk "
             "space."},
            {"Label5",
             {8, 72, 297, 41},
             "Actual recording time may vary, based on motion and other factors.  By using alarm "
             "triggers, motion activated recording or scheduled recording, more recording time "
             "can be achieved."},
            {"Label4", {16, 200, 281, 17}, "Version 1.0"},
            {"Label3", {16, 256, 281, 17}, "TALVEX Video Security Systems"},
            {"Label2", {16, 272, 281, 17}, "All rights reserved."},
        },
        {
            {"Image1", {96, 128}, ":/assets/about_logo.jpg"},
            {"Image2", {112, 224}, ":/assets/about_small_logo.jpg"},
        },
    };
}

WindowDesign designOf(HelpWindowKind kind) {
    switch (kind) {
        case HelpWindowKind::instructions:
            return instructionsDesign();
        case HelpWindowKind::glossary:
            return glossaryDesign();
        case HelpWindowKind::about:
            break;
    }
    return aboutDesign();
}

}  // namespace

HelpWindow::HelpWindow(HelpWindowKind kind) : m_kind(kind) {
    const WindowDesign design = designOf(kind);
    setObjectName(QString::fromLatin1(design.name));
    setWindowTitle(QString::fromLatin1(design.title));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose);
    setFont(dialogFont());
    setPalette(captionPalette(palette()));
    setAutoFillBackground(true);

    // A close box and the window menu, no minimise and no maximise button.
    Qt::WindowFlags flags = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    // A fixed window gets a dialog's thin border on Windows, not a sizing one.
    flags |= design.resizable ? Qt::Window : Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint;
    setWindowFlags(flags);
    if (design.resizable) {
        // Growing the window only shows more background; the controls stay where they are.
        setMinimumSize(design.clientSize);
        resize(design.clientSize);
    } else {
        setFixedSize(design.clientSize);
    }

    for (const PictureDesign& picture : design.pictures) {
        auto* image = new QLabel(this);
        const QPixmap pixmap = loadPicture(picture.resource);
        image->setPixmap(pixmap);
        place(image, picture.name,
              QRect(picture.position, pixmap.deviceIndependentSize().toSize()));
    }
    for (const LabelDesign& label : design.labels) {
        auto* caption = new CaptionLabel(QString::fromLatin1(label.caption), this);
        caption->setAlignment(design.labelAlignment | Qt::AlignTop);
        place(caption, label.name, label.geometry);
    }
    auto* ok = new PushButton(QStringLiteral("OK"), this);
    place(ok, "Command1", design.okGeometry);
    ok->setAutoDefault(false);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &HelpWindow::Command1_Click);
}

void HelpWindow::Command1_Click() {
    hide();
    emit mainWindowRequested();
    deleteLater();
}

}  // namespace storagecalc
