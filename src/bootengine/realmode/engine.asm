; Placeholder until the real engine lands: only the signature jump.
%include "engine_layout.inc"
        bits 16
        org CONST_AREA_RUN
        db 0xE9, 0x69, 0x03
        times CONST_AREA_SIZE-($-$$) db 0
