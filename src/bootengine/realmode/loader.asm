; Placeholder until the real loader lands: the layout is fixed, the code only halts.
%include "engine_layout.inc"
        bits 16
        org CONST_LOADER_RUN
        cli
        hlt
        times LOADER_DEFAULT_ENTRY-($-$$) db 0
        db CONST_TEMPLATE_DEFAULT, CONST_TEMPLATE_DIRECT
        times LOADER_SIGNATURE-($-$$) db 0
        dw 0xAA55
