; loader.asm - sector 0 of the first hard disk while the Korvex boot engine is installed.
;
; Memory map (segment 0):
;   0600h..07FFh   this sector after it has moved itself (the BIOS loads it to 7C00h)
;   0800h..27FFh   sectors 2..17 of track 0: the engine area (0800h..15FFh) and what follows
;   7C00h..7DFFh   where the BIOS loaded us; later the boot sector that gets started
;   below 7C00h    the stack
;
; On entry from the BIOS: CS:IP = 0000:7C00 (or 07C0:0000, which the far jump below corrects);
;   DL is ignored: the engine always lives on drive 80h.
; Hand-over to the engine: CS:IP = 0000:0800, DS = ES = SS = 0, SP = 7C00h (the engine relies
;   on nothing else and rebuilds its own state).
; Emergency boot (engine unreadable or its signature missing): the first partition entry with
;   a non-zero boot indicator is started like a plain master boot record would: CS:IP =
;   0000:7C00, DL = that boot indicator, DS:SI -> the entry in the moved table. No entry, or its
;   boot sector unreadable: INT 18h.
;
; Sector layout (offsets from engine_layout.inc): code 000h..094h, default-entry byte 095h and
; direct-boot byte 096h (both DDh EEh in the template, set by the program), this loader's text
; 097h..0DAh, zeros, the engine's menu table 0EEh (written by the program), partition table
; 1BEh, signature 55h AAh. The code has 149 bytes; it needs 80186 instructions (pusha/popa).

%include "engine_layout.inc"
%include "bios.inc"
%include "layout_guards.inc"
%include "disk_retries.inc"

        cpu 186
        bits 16
        org CONST_LOADER_RUN

BIOS_LOAD_ADDRESS       equ CONST_BOOT_SECTOR_RUN
ENGINE_SECTORS          equ CONST_LOADER_READ_SECTORS ; LBA 1..16: the engine area and nine spare sectors
ENGINE_CX               equ 0002h               ; cylinder 0, sector 2
ENGINE_DX               equ FIRST_HARD_DISK     ; head 0, drive 80h
ATTEMPTS                equ CONST_DISK_ATTEMPTS
PARTITION_ENTRIES       equ CONST_TABLE_ENTRIES
PARTITION_ENTRY_SIZE    equ CONST_ENTRY_SIZE
ENTRY_START_SECTOR      equ CONST_ENTRY_START_SECTOR ; entry word: start sector and cylinder (INT 13h CX)

; --- move from 7C00h to 0600h, so that 7C00h is free for the boot sector we start later --------
start:
        cli                                     ; no interrupt may use the stack while it moves
        xor ax, ax
        mov ss, ax
        mov sp, BIOS_LOAD_ADDRESS               ; stack grows down below the loaded sector
        mov ds, ax                              ; everything lives in segment 0
        mov es, ax
        sti
        cld                                     ; movsw counts upwards
        mov si, sp                              ; SI = 7C00h (one byte shorter than mov si, imm)
        mov di, CONST_LOADER_RUN
        mov cx, CONST_SECTOR_SIZE / 2           ; the whole sector, table included
        rep movsw
        jmp 0:relocated                         ; continue in the copy; this also makes CS = 0

; --- load the engine ---------------------------------------------------------------------------
relocated:
        mov ax, (DISK_READ << 8) | ENGINE_SECTORS
        mov bx, CONST_AREA_RUN                  ; ES:BX = 0000:0800
        mov cx, ENGINE_CX
        mov dx, ENGINE_DX
        call read_with_retries
        jc .engine_unreadable                   ; five failures
        cmp word [CONST_AREA_RUN], CONST_ENGINE_SIGNATURE
        jne emergency_boot                      ; engine removed: behave like a plain MBR, silently
        jmp 0:CONST_AREA_RUN                    ; start the engine

.engine_unreadable:
        mov si, LOADER_TEXT_RUN                 ; "Boot-Manager kann nicht geladen werden! ..."
.next_char:
        lodsb
        test al, al                             ; the text ends with a zero byte
        jz .wait_key
        mov ah, VID_TELETYPE                    ; handles the CR LF inside the text
        mov bx, (VIDEO_PAGE << 8) | GREY_ON_BLACK
        int VIDEO
        jmp .next_char
.wait_key:
        cbw                                     ; AH = 0 = KBD_READ (AL is the text's zero byte)
        int KEYBOARD                            ; the user acknowledges; then the emergency boot

; --- emergency boot: the first partition entry with a non-zero boot indicator ----------------------
emergency_boot:
        mov si, LOADER_PARTITION_TABLE_RUN
        mov cx, PARTITION_ENTRIES
.scan:
        cmp byte [si], 0                        ; boot indicator
        jne .found
        add si, PARTITION_ENTRY_SIZE
        loop .scan                              ; four entries
        jmp no_boot                             ; no active partition
.found:
        mov ax, (DISK_READ << 8) | 1            ; one sector
        mov bx, BIOS_LOAD_ADDRESS               ; over our old copy, which is no longer used
        mov cx, [si + ENTRY_START_SECTOR]
        mov dx, [si]                            ; DL = boot indicator as drive, DH = start head
        call read_with_retries
        jc no_boot                              ; five failures
        jmp 0:BIOS_LOAD_ADDRESS                 ; DL = drive, DS:SI -> the entry
no_boot:
        int BOOT_FAIL                           ; the BIOS takes over; it does not come back

        DISK_WITH_RETRIES read_with_retries

        end_field LOADER, CODE

; --- the configuration bytes and the text ---------------------------------------------------------
        begin_field LOADER, DEFAULT_ENTRY
        db CONST_TEMPLATE_DEFAULT               ; set by the program (menu position of the default)
        begin_field LOADER, DIRECT_BOOT
        db CONST_TEMPLATE_DIRECT                ; set by the program (non-zero: boot without menu)
        begin_field LOADER, TEXT
        db `Boot-Manager kann nicht geladen werden!\r\nTaste dr\x81cken f\x81r Notboot!`, 0
        end_field LOADER, TEXT
%if ($-$$) != LOADER_TEXT + LOADER_TEXT_SIZE
  %error the loader text must fill its field exactly
%endif
%if ($-$$) > LOADER_MENU_TABLE
  %error the loader's code and text must end before the menu table
%endif

; --- tables filled by the program: zero in the template ------------------------------------------
        begin_field LOADER, SIGNATURE
        dw BOOT_SIGNATURE
%if ($-$$) != CONST_SECTOR_SIZE
  %error the loader is not exactly one sector
%endif
