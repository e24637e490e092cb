; report_sector.asm - the boot sector of every test partition (and test floppy).
;
; When started it writes one line to the debug port 0E9h and halts:
;   BOOTED <identity> DL=<hex> DS=<hex> SI=<the 16 bytes at DS:SI in hex>
; so that a test sees which partition was started and what it was handed over. The identity is
; 16 bytes at IDENTITY_OFFSET, patched in by the test (zero-terminated text).

DEBUG_PORT      equ 0E9h
IDENTITY_OFFSET equ 1E0h

        bits 16
        org 7C00h

start:
        cli
        mov bp, si                      ; SI and DS as handed over: the booted entry
        mov bl, dl                      ; DL as handed over
        mov si, text_booted
        call cs_print
        mov si, identity
        call cs_print
        mov si, text_dl
        call cs_print
        mov al, bl
        call print_hex
        mov si, text_ds
        call cs_print
        mov ax, ds
        xchg al, ah
        call print_hex
        xchg al, ah
        call print_hex
        mov si, text_si
        call cs_print
        mov cx, 16
.entry_byte:
        mov al, [ds:bp]                 ; bp would default to SS
        call print_hex
        inc bp
        loop .entry_byte
        mov al, 10
        out DEBUG_PORT, al
.halt:
        hlt
        jmp .halt

; cs_print - write the zero-terminated text at CS:SI to the debug port.
cs_print:
        mov al, [cs:si]
        test al, al
        jz .done
        out DEBUG_PORT, al
        inc si
        jmp cs_print
.done:
        ret

; print_hex - write AL as two hex digits. Preserves AX.
print_hex:
        push ax
        shr al, 4
        call .digit
        pop ax
        push ax
        and al, 0Fh
        call .digit
        pop ax
        ret
.digit:
        add al, '0'
        cmp al, '9'
        jbe .out
        add al, 'A' - '9' - 1
.out:
        out DEBUG_PORT, al
        ret

text_booted:    db "BOOTED ", 0
text_dl:        db " DL=", 0
text_ds:        db " DS=", 0
text_si:        db " SI=", 0

%if ($-$$) > IDENTITY_OFFSET
  %error the report code overlaps the identity
%endif
        times IDENTITY_OFFSET - ($-$$) db 0
identity:
        times 16 db 0
        times 510 - ($-$$) db 0
        dw 0AA55h
