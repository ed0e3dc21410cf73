#include "app/page_registry.h"
#include "pages/encoder/encoder8_view.h"
#include "pages/encoder/encoder_asi_view.h"
#include "pages/encoder/encoder_audio_view.h"
#include "pages/encoder/encoder_hd4in1_view.h"
#include "pages/encoder/encoder_hd_av_view.h"
#include "pages/encoder/encoder_public_view.h"
#include "pages/encoder/encoder_system_view.h"
#include "pages/encoder/encoder_video_view.h"
#include "pages/encoder/ip_out_view.h"
#include "pages/encoder/magnum_cmd_view.h"
#include "pages/encoder/magnum_view.h"
#include "pages/encoder/transcoder_view.h"

namespace nms {

// One line per page class of this folder.
void RegisterEncoderPages() {
    RegisterPageClass<Cencoder8>("Cencoder8");
    RegisterPageClass<CEncoderASIView>("CEncoderASIView");
    RegisterPageClass<Cmagnum>("Cmagnum");
    RegisterPageClass<Cmagnum_cmd4>("Cmagnum_cmd4");
    RegisterPageClass<Ctranscoder>("Ctranscoder");
    RegisterPageClass<CEncoderPublicView>("CEncoderPublicView");
    RegisterPageClass<CEncoderIPOutView>("CEncoderIPOutView");
    RegisterPageClass<CEncoderVideoView>("CEncoderVideoView");
    RegisterPageClass<CEncoderAudioView>("CEncoderAudioView");
    RegisterPageClass<CEncoderSystemView>("CEncoderSystemView");
    RegisterPageClass<CencoderHDsystems>("CencoderHDsystems");
    RegisterPageClass<CencoderHDav>("CencoderHDav");
    RegisterPageClass<encoderHD4in1_av>("encoderHD4in1_av");
}

}  // namespace nms
