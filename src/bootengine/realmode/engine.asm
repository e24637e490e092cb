; engine.asm - the Korvex boot engine: LBA 1..7 of the first hard disk (the engine area).
;
; Memory map (segment 0):
;   0600h..07FFh   the sector-0 image: first the loader's copy, then the one the engine rebuilds
;                  from its MBR copy and writes back before a boot
;   0800h..15FFh   this engine area, loaded by the loader; run address = 0800h + area offset
;   1600h..27FFh   LBA 8..16, read by the loader with the engine and not used
;   7C00h..7DFFh   the boot sector to be started
;   below 7C00h    the stack (reset at every restart)
;
; On entry (from the loader, and again after every message screen): CS = 0, IP = 0B6Ch.
; Hand-over to a boot sector: CS:IP = 0000:7C00, DL = BIOS drive (the menu entry's byte 0, or
;   0/1 for floppy A:/B:), DS:SI -> the booted menu entry in the MBR copy, DS = ES = SS = 0.
;
; Area layout: every fixed field comes from engine_layout.inc and is placed with begin_field /
; end_field, so a field that moves stops the build. The fields the program reads or writes are
; the screen lines (003h), the configuration bytes (368h..36Bh), the autoboot switch inside the
; code (3DCh), the MBR copy (800h), the passwords (A00h) and the password key (BA0h); the
; message lines, the disk address packet and the variables are the engine's own.
;
; The code needs 80186 instructions (pusha/popa, shifts by an immediate).

%include "engine_layout.inc"
%include "bios.inc"
%include "layout_guards.inc"
%include "disk_retries.inc"

        cpu 186
        bits 16
        org CONST_AREA_RUN

; --- screen ---------------------------------------------------------------------------------------
SCREEN_COLUMN           equ CONST_SCREEN_COLUMN  ; every engine line starts in this column
LINE_CHARS              equ CONST_LINE_CHARS     ; characters of a line (the 48th byte is its zero)
LINE_INNER              equ CONST_LINE_INNER     ; characters between the two frame characters
BAR_FIRST_CHAR          equ CONST_BAR_FIRST_CHAR ; the selection bar covers characters 2..44 of a menu line
BAR_CHARS               equ CONST_BAR_CHARS
COUNTDOWN_COLUMN        equ SCREEN_COLUMN + CONST_COUNTDOWN_CHAR ; two digits in the gap of "in     Sekunden"
BOX_TOP_ROW             equ 10          ; password and message boxes start on this row
PROMPT_ROW              equ BOX_TOP_ROW + 1
PROMPT_INPUT_COLUMN     equ 28          ; right after "Passwort: "
FRAME_V                 equ CONST_FRAME_V ; code page 437 box drawing characters
FRAME_H                 equ CONST_FRAME_H
FRAME_TOP_LEFT          equ 0C9h
FRAME_TOP_RIGHT         equ 0BBh
FRAME_BOTTOM_LEFT       equ CONST_FRAME_BOTTOM_LEFT
FRAME_BOTTOM_RIGHT      equ CONST_FRAME_BOTTOM_RIGHT
SEPARATOR_H             equ 0C4h
SEPARATOR_LEFT          equ 0C7h
SEPARATOR_RIGHT         equ 0B6h
FIXED_LINES             equ CONST_MENU_FIRST_LINE + 1   ; top, banner, text, status, separator, bottom

; --- behaviour ------------------------------------------------------------------------------------
BCD_DIGIT_BITS          equ 4
BCD_UNITS_MASK          equ 0Fh
TICKS_PER_SECOND        equ 18          ; a second has passed once more ticks than this went by
ATTEMPTS                equ CONST_DISK_ATTEMPTS ; tries of every disk transfer
FIRST_TYPABLE           equ CONST_FIRST_TYPEABLE ; the password prompt accepts 20h..7Fh
LAST_TYPABLE            equ CONST_LAST_TYPEABLE
MAX_TYPED               equ AREA_PASSWORD_INPUT_SIZE ; characters the prompt takes
LOW_FUNCTION_KEYS       equ 10          ; F1..F10 select positions 0..9
LAST_FUNCTION_KEY_POSITION equ 11       ; F11, F12 select positions 10, 11
MAX_PASSWORD            equ CONST_PASSWORD_MAX ; characters a stored password can have
NO_PASSWORD             equ 0           ; first byte of an unused password slot
STACK_TOP               equ CONST_BOOT_SECTOR_RUN
JNZ_SHORT_OPCODE        equ 75h
JMP_SHORT_OPCODE        equ 0EBh

; --- run addresses --------------------------------------------------------------------------------
MBR_COPY                equ AREA_MBR_COPY_RUN
MENU_TABLE_OF_COPY      equ MBR_COPY + LOADER_MENU_TABLE
BOOT_SLOT_OF_COPY       equ MBR_COPY + LOADER_BOOT_SLOT
SECTOR0_IMAGE           equ CONST_LOADER_RUN
BOOT_SECTOR             equ CONST_BOOT_SECTOR_RUN
ENTRY_START_SECTOR      equ CONST_ENTRY_START_SECTOR ; menu entry: start sector and cylinder (INT 13h CX)
ENTRY_LBA               equ CONST_ENTRY_LBA ; menu entry: start LBA

%if CONST_AUTOBOOT_ON != JNZ_SHORT_OPCODE || CONST_AUTOBOOT_OFF != JMP_SHORT_OPCODE
  %error the autoboot switch values must be the opcodes of jnz short and jmp short
%endif

; --- screen line macros: 47 characters in code page 437 and a zero byte ----------------------------
%macro border_line 3                    ; left corner, filler, right corner
        db %1
        times LINE_INNER db %2
        db %3, 0
%endmacro

%macro framed_text 2                    ; blanks before the text, text; blanks up to the frame
  %strlen %%len %2
  %if %1 + %%len > LINE_INNER
    %error framed text too long: %2
  %endif
        db FRAME_V
        times %1 db ' '
        db %2
        times LINE_INNER - %1 - %%len db ' '
        db FRAME_V, 0
%endmacro

%macro centred_text 1
  %strlen %%len %1
        framed_text (LINE_INNER - %%len) / 2, %1
%endmacro

; ==================================================================================================
; The engine area
; ==================================================================================================
        begin_field AREA, JUMP
        jmp near entry                          ; E9h 69h 03h: the first two bytes are the signature
        end_field AREA, JUMP

        begin_field AREA, SCREEN_LINES
top_border:
        border_line FRAME_TOP_LEFT, FRAME_H, FRAME_TOP_RIGHT                    ; line 0
banner_line:                                                                    ; line 1
        db FRAME_V, " Korvex Bootmanager V"
version_major:
        db "4."
version_minor:
        db "3 von Mirlach"
        times banner_line + LINE_INNER + 1 - $ db ' '
        db FRAME_V, 0
        centred_text `\x18\x19 Auswahl   Enter Start   Esc Pause`                ; line 2
status_line:                                                                    ; line 3
        db FRAME_V, "    Autoboot des Systems i"
status_switch:
        db "n     Sekunden"                     ; "st nicht aktiv" when the automatic boot is off
        times status_line + LINE_INNER + 1 - $ db ' '
        db FRAME_V, 0
        border_line SEPARATOR_LEFT, SEPARATOR_H, SEPARATOR_RIGHT                ; line 4
        border_line FRAME_BOTTOM_LEFT, FRAME_H, FRAME_BOTTOM_RIGHT              ; line 5: no entries yet
        db 0                                                                    ; line 6 ends the list
        end_field AREA, SCREEN_LINES
        expect_at banner_line, AREA_SCREEN_LINES + CONST_BANNER_LINE * CONST_SCREEN_LINE_SIZE
        expect_at version_major, CONST_VERSION_MAJOR_AREA
        expect_at version_minor, CONST_VERSION_MINOR_AREA
        expect_at status_line, AREA_SCREEN_LINES + CONST_STATUS_LINE * CONST_SCREEN_LINE_SIZE
        expect_at status_switch, AREA_SCREEN_LINES + CONST_STATUS_LINE * CONST_SCREEN_LINE_SIZE + CONST_STATUS_SWITCH_CHAR
%if COUNTDOWN_COLUMN - SCREEN_COLUMN < CONST_STATUS_SWITCH_CHAR || COUNTDOWN_COLUMN - SCREEN_COLUMN + 2 > CONST_STATUS_SWITCH_CHAR + 6
  %error the countdown digits must fall in the blanks of "in     Sekunden"
%endif
        begin_field AREA, SCREEN_END
        db 0
        begin_field AREA, TIMEOUT
        db CONST_TEMPLATE_TIMEOUT               ; 60 seconds, BCD
        begin_field AREA, REMEMBER_LAST
        db 0
        begin_field AREA, BAR_COLOUR
        db CONST_TEMPLATE_BAR
        begin_field AREA, MENU_COLOUR
        db CONST_TEMPLATE_MENU

; ==================================================================================================
; Code
; ==================================================================================================

; --------------------------------------------------------------------------------------------------
; entry - engine start, and the restart after every message screen.
; On entry: CS = 0; 0000:0600 holds the sector-0 image (default-entry and direct-boot bytes).
; --------------------------------------------------------------------------------------------------
        begin_field AREA, ENTRY
entry:
        cli                                     ; no interrupt while SS:SP is half set
        xor ax, ax
        mov ss, ax
        mov sp, STACK_TOP                       ; a restart comes from deep in a call chain: drop it
        sti
        mov ds, ax                              ; all data lives in segment 0
        mov es, ax                              ; INT 10h AH=13h takes its text from ES:BP
        cld                                     ; string instructions count upwards
        call set_text_mode                      ; also clears the screen
        call init_menu_state
        cmp byte [AREA_VAR_ENTRY_COUNT_RUN], 0
        je .menu                                ; an empty menu has nothing to boot directly
        cmp byte [LOADER_DIRECT_BOOT_RUN], 0
        jne boot_selection                      ; the program asked for a boot without the menu
.menu:
        call paint_menu
menu_loop:
        call paint_bar                          ; after every key: the selection may have moved
poll_keys:
        mov ah, KBD_CHECK
        int KEYBOARD                            ; ZF set: no key waiting
        jz countdown_step                       ; no key waiting
        call handle_key                         ; returns unless the key started a boot
        jmp menu_loop

; --------------------------------------------------------------------------------------------------
; set_text_mode - set 80x25 colour text mode, which clears the screen. Clobbers AX.
; --------------------------------------------------------------------------------------------------
set_text_mode:
        mov ax, (VID_SET_MODE << 8) | TEXT_MODE_80X25
        int VIDEO
        ret

; --------------------------------------------------------------------------------------------------
; hide_cursor - Clobbers AX, CX.
; --------------------------------------------------------------------------------------------------
hide_cursor:
        mov cx, CURSOR_HIDDEN                   ; start line after end line: no cursor
        mov ah, VID_CURSOR_SHAPE
        int VIDEO
        ret

; --------------------------------------------------------------------------------------------------
; paint_line_down - paint a 47-character line at column 16 in the menu colour, then step a row.
; On entry: SI = the line, DH = its row. On return: DH = next row. Preserves everything else.
; --------------------------------------------------------------------------------------------------
paint_line_down:
        call paint_line
        inc dh
        ret

; --------------------------------------------------------------------------------------------------
; paint_line - as paint_line_down, without the step. Preserves all registers.
; --------------------------------------------------------------------------------------------------
paint_line:
        pusha
        mov dl, SCREEN_COLUMN
        mov cx, LINE_CHARS                      ; the 48th byte (zero) is not shown
        mov bl, [AREA_MENU_COLOUR_RUN]          ; the colour the program configured
        call paint_text
        popa
        ret

; --------------------------------------------------------------------------------------------------
; paint_text - write CX characters from DS:SI at row DH, column DL with attribute BL.
; Preserves all registers.
; --------------------------------------------------------------------------------------------------
paint_text:
        pusha
        mov bp, si                              ; ES:BP = the characters
        mov bh, VIDEO_PAGE
        mov ax, (VID_WRITE_STRING << 8) | WRITE_STRING_MOVE_CURSOR ; one attribute for all
        int VIDEO
        popa
        ret

        ; Unused bytes: the pause test below must end exactly where the program expects the
        ; autoboot switch.
PAUSE_TEST_SIZE         equ 5
        times AREA_AUTOBOOT_SWITCH - PAUSE_TEST_SIZE - ($-$$) db 0

; --------------------------------------------------------------------------------------------------
; countdown_step - menu loop, no key waiting: count the seconds down and boot at zero.
; --------------------------------------------------------------------------------------------------
countdown_step:
        cmp byte [AREA_VAR_PAUSED_RUN], 0
autoboot_switch:
        jne short poll_keys                     ; paused. The program turns this into jmp short
                                                ; (EBh) to switch the automatic boot off.
        expect_at autoboot_switch, AREA_AUTOBOOT_SWITCH
%if autoboot_switch - countdown_step != PAUSE_TEST_SIZE
  %error PAUSE_TEST_SIZE does not match the pause test
%endif
        cmp byte [AREA_VAR_COUNTDOWN_RUN], 0
        je poll_keys                            ; timeout 0 or an empty menu: wait for the user
        mov ah, TIMER_GET_TICKS
        int TIMER                               ; DX = low word of the tick count
        mov ax, dx
        sub ax, [AREA_VAR_TICK_BASE_RUN]        ; ticks since the current second began
        cmp ax, TICKS_PER_SECOND                ; unsigned: when the count wraps at midnight the
        jbe poll_keys                           ; second ends early instead of stalling
        mov [AREA_VAR_TICK_BASE_RUN], dx        ; the next second starts now
        mov al, [AREA_VAR_COUNTDOWN_RUN]
        sub al, 1                               ; (dec would leave CF for das undefined)
        das                                     ; BCD: a low digit of Fh becomes 9
        mov [AREA_VAR_COUNTDOWN_RUN], al
        test al, al                             ; (mov does not set the flags)
        jz boot_selection                       ; the countdown boots whatever is selected now
        call show_countdown                     ; only after a change: painting costs time
        jmp poll_keys

; --------------------------------------------------------------------------------------------------
; init_menu_state - entry count N, first selection, countdown, pause flag.
; Clobbers AX, CX, SI.
; --------------------------------------------------------------------------------------------------
init_menu_state:
        call count_lines
        sub cx, FIXED_LINES                     ; N = painted lines - 6
        jnb .count_ok
        xor cx, cx                              ; too few lines: no entries
.count_ok:
        mov [AREA_VAR_ENTRY_COUNT_RUN], cl
        mov al, [LOADER_DEFAULT_ENTRY_RUN]      ; from the sector-0 image, not the MBR copy
        cmp al, cl
        jb .selection_ok
        mov al, 0                               ; beyond the menu (remember-last before the first
.selection_ok:                                  ; boot): highlight the first entry
        mov [AREA_VAR_SELECTION_RUN], al
        mov byte [AREA_VAR_PAUSED_RUN], 0       ; a restart always counts again
        xor al, al
        jcxz .set_countdown                     ; an empty menu has nothing to count down to
        mov al, [AREA_TIMEOUT_RUN]
.set_countdown:
        mov [AREA_VAR_COUNTDOWN_RUN], al
        ret

; --------------------------------------------------------------------------------------------------
; count_lines - the screen lines before the first one whose first byte is zero (at most 18).
; On return: CX = the count. Clobbers SI.
; --------------------------------------------------------------------------------------------------
count_lines:
        mov si, AREA_SCREEN_LINES_RUN
        xor cx, cx
.next:
        cmp byte [si], 0                        ; a zero first byte ends the list
        je .done
        add si, CONST_SCREEN_LINE_SIZE
        inc cx
        cmp cx, CONST_SCREEN_LINE_COUNT         ; never read past the line area
        jb .next
.done:
        ret

; --------------------------------------------------------------------------------------------------
; paint_menu - hide the cursor, paint the screen lines from row 0, show the starting countdown
; and take the tick base. Clobbers AX, CX, DX, SI.
; --------------------------------------------------------------------------------------------------
paint_menu:
        call hide_cursor
        call count_lines
        mov si, AREA_SCREEN_LINES_RUN
        xor dh, dh                              ; line i on row i
        jcxz .painted                           ; (loop would run 65536 times for CX = 0)
.line:
        call paint_line_down
        add si, CONST_SCREEN_LINE_SIZE
        loop .line
.painted:
        cmp byte [autoboot_switch], CONST_AUTOBOOT_OFF
        je take_tick_base                       ; the status line reads "... ist nicht aktiv"
        cmp byte [AREA_VAR_COUNTDOWN_RUN], 0
        je take_tick_base
        call show_countdown
        ; fall through

; --------------------------------------------------------------------------------------------------
; take_tick_base - the current second of the countdown starts now. Clobbers AX, CX, DX.
; --------------------------------------------------------------------------------------------------
take_tick_base:
        mov ah, TIMER_GET_TICKS
        int TIMER
        mov [AREA_VAR_TICK_BASE_RUN], dx
        ret

; --------------------------------------------------------------------------------------------------
; show_countdown - the countdown's two BCD digits at row 3, column 46 in the menu colour; a tens
; digit of 0 shows as a blank. Clobbers AX, DX.
; --------------------------------------------------------------------------------------------------
show_countdown:
        mov dx, (CONST_STATUS_LINE << 8) | COUNTDOWN_COLUMN
        mov al, [AREA_VAR_COUNTDOWN_RUN]
        shr al, BCD_DIGIT_BITS                  ; tens digit
        add al, '0'
        cmp al, '0'
        jne .tens
        mov al, ' '                             ; no leading zero
.tens:
        call put_char
        mov al, [AREA_VAR_COUNTDOWN_RUN]
        and al, BCD_UNITS_MASK                  ; units digit
        add al, '0'
        jmp put_char                            ; tail call

; --------------------------------------------------------------------------------------------------
; put_char - write AL at row DH, column DL in the menu colour; then DL = next column.
; Preserves all other registers.
; --------------------------------------------------------------------------------------------------
put_char:
        pusha
        call set_cursor                         ; AH=09h writes at the cursor
        mov ah, VID_WRITE_CHAR_ATTR
        mov bh, VIDEO_PAGE
        mov bl, [AREA_MENU_COLOUR_RUN]
        mov cx, 1                               ; one copy of the character
        int VIDEO
        popa
        inc dl
        ret

; --------------------------------------------------------------------------------------------------
; set_cursor - move the cursor to row DH, column DL. Preserves all registers.
; --------------------------------------------------------------------------------------------------
set_cursor:
        pusha
        mov ah, VID_SET_CURSOR
        mov bh, VIDEO_PAGE
        int VIDEO
        popa
        ret

; --------------------------------------------------------------------------------------------------
; selected_line - the screen line of the selection.
; On return: SI = the line, DH = its row (5 + selection). Clobbers AX.
; --------------------------------------------------------------------------------------------------
selected_line:
        mov al, [AREA_VAR_SELECTION_RUN]
        add al, CONST_MENU_FIRST_LINE           ; entry k is screen line 5 + k
        mov dh, al                              ; and is painted on row 5 + k
        mov ah, CONST_SCREEN_LINE_SIZE
        mul ah                                  ; AX = line offset
        add ax, AREA_SCREEN_LINES_RUN
        mov si, ax
        ret

; --------------------------------------------------------------------------------------------------
; paint_bar - characters 2..44 of the selected line at column 18 in the bar colour (nothing when
; the menu is empty). Clobbers AX, BX, CX, DX, SI.
; --------------------------------------------------------------------------------------------------
paint_bar:
        cmp byte [AREA_VAR_ENTRY_COUNT_RUN], 0
        je .done
        call selected_line
        add si, BAR_FIRST_CHAR                  ; the bar leaves the frame and a blank each side
        mov dl, SCREEN_COLUMN + BAR_FIRST_CHAR
        mov cx, BAR_CHARS
        mov bl, [AREA_BAR_COLOUR_RUN]
        call paint_text
.done:
        ret

; --------------------------------------------------------------------------------------------------
; handle_key - read the waiting key and act on it. Returns after a selection change, Esc or an
; ignored key; a boot key does not return. Clobbers AX, BX, CX, DX, SI.
; --------------------------------------------------------------------------------------------------
handle_key:
        mov cl, [AREA_VAR_ENTRY_COUNT_RUN]      ; CL = N
        test cl, cl
        jz .read
        call selected_line
        call paint_line                         ; take the bar off; the loop paints it again
.read:
        mov ah, KBD_READ
        int KEYBOARD                            ; AH = scan code, AL = character
        cmp ah, SCAN_ESC
        jne .not_esc
        xor byte [AREA_VAR_PAUSED_RUN], 1       ; pause or resume; the countdown keeps its value
        jmp take_tick_base                      ; a resumed countdown gets its full second
.not_esc:
        mov bl, FLOPPY_A                        ; BL = drive for boot_floppy
        cmp ah, SCAN_A
        je boot_floppy
        mov bl, FLOPPY_B
        cmp ah, SCAN_B
        je boot_floppy
        test cl, cl
        jz .ignore                              ; an empty menu offers only the floppy drives
        mov ch, [AREA_VAR_SELECTION_RUN]        ; CH = the selection to change
        cmp ah, SCAN_UP
        jne .not_up
        dec ch
        jns .store                              ; positions are below 12, so the sign means -1
        mov ch, cl
        dec ch                                  ; above the first entry: the last one
        jmp .store
.not_up:
        cmp ah, SCAN_DOWN
        jne .not_down
        inc ch
        cmp ch, cl
        jb .store
        mov ch, 0                               ; below the last entry: the first one
.store:
        mov [AREA_VAR_SELECTION_RUN], ch
        ret
.not_down:
        cmp ah, SCAN_ENTER                      ; also the keypad Enter (the BIOS translates it)
        je boot_selection
        test al, al
        jnz .ignore                             ; function keys have character code 0
        mov ch, ah
        sub ch, SCAN_F1                         ; F1..F10 -> positions 0..9
        cmp ch, LOW_FUNCTION_KEYS
        jb .function_key
        mov ch, ah
        sub ch, SCAN_F11 - LOW_FUNCTION_KEYS    ; F11, F12 -> positions 10, 11
        cmp ch, LOW_FUNCTION_KEYS
        jb .ignore
        cmp ch, LAST_FUNCTION_KEY_POSITION
        ja .ignore
.function_key:
        cmp ch, cl
        jae .ignore                             ; no entry at that position
        mov [AREA_VAR_SELECTION_RUN], ch        ; the entry to boot, also for remember-last
        jmp boot_selection
.ignore:
        ret

; --------------------------------------------------------------------------------------------------
; boot_selection - boot the menu entry at the selection: password, sector-0 rewrite, boot sector.
; Does not return; every failure ends in a message screen and a restart.
; --------------------------------------------------------------------------------------------------
boot_selection:
        mov al, [AREA_VAR_SELECTION_RUN]        ; password slot = menu position
        call check_password
        call take_selected_entry                ; SI = E
        call rebuild_sector0                    ; E into the boot slot, MBR copy to 0600h
        cmp byte [AREA_REMEMBER_LAST_RUN], 0
        je .write
        mov al, [AREA_VAR_SELECTION_RUN]
        mov [LOADER_DEFAULT_ENTRY_RUN], al      ; the next start highlights this entry
.write:
        call write_sector0
        call read_entry_boot_sector
        jc disk_error                           ; five failures
        mov si, [AREA_VAR_ENTRY_PTR_RUN]
        mov dl, [si]                            ; hand over the entry's drive
        jmp start_boot_sector

; --------------------------------------------------------------------------------------------------
; read_entry_boot_sector - read the first sector of entry E's partition to 0000:7C00: by its LBA
; when the drive has the INT 13h extensions, else by the entry's CHS start.
; On entry: [VAR_ENTRY_PTR] = E. On return: CF set when every try failed. Clobbers AX, BX, CX,
; DX, SI.
; --------------------------------------------------------------------------------------------------
read_entry_boot_sector:
        mov si, [AREA_VAR_ENTRY_PTR_RUN]
        mov dl, [si]                            ; the entry's BIOS drive
        mov ah, DISK_EXT_CHECK
        mov bx, EXT_CHECK_REQUEST
        int DISK
        jc .chs_read                            ; no extensions: CHS from the entry
        cmp bx, EXT_CHECK_REPLY                 ; a BIOS without them may leave CF clear
        jne .chs_read
        mov si, [AREA_VAR_ENTRY_PTR_RUN]
        mov ax, [si + ENTRY_LBA]                ; start LBA of the partition
        mov [AREA_DAP_LBA_RUN], ax
        mov ax, [si + ENTRY_LBA + 2]
        mov [AREA_DAP_LBA_RUN + 2], ax
        xor ax, ax
        mov [AREA_DAP_LBA_RUN + 4], ax          ; upper 32 bits of the LBA
        mov [AREA_DAP_LBA_RUN + 6], ax
        mov dl, [si]                            ; the check may have changed DL
        mov si, AREA_DISK_ADDRESS_PACKET_RUN    ; one sector to 0000:7C00
        mov ah, DISK_EXT_READ
        jmp disk_with_retries
.chs_read:
        mov si, [AREA_VAR_ENTRY_PTR_RUN]
        mov dx, [si]                            ; DL = drive, DH = start head
        mov cx, [si + ENTRY_START_SECTOR]       ; start sector and cylinder
        mov bx, BOOT_SECTOR
        mov ax, (DISK_READ << 8) | 1
        jmp disk_with_retries                   ; its return is ours

; --------------------------------------------------------------------------------------------------
; boot_floppy - boot floppy drive BL (0 = A:, 1 = B:): password slot 12/13, the sector-0 rewrite
; for the highlighted entry (without remember-last), then sector 1 of the floppy. Does not return.
; --------------------------------------------------------------------------------------------------
boot_floppy:
        mov [AREA_VAR_BOOT_DRIVE_RUN], bl       ; kept across the calls below
        mov al, bl
        add al, CONST_FLOPPY_A_SLOT             ; slot 12 for A:, 13 for B:
        call check_password
        call take_selected_entry                ; the highlighted entry goes into the boot slot
        call rebuild_sector0
        call write_sector0
        mov dl, [AREA_VAR_BOOT_DRIVE_RUN]
        xor dh, dh                              ; head 0
        mov cx, FIRST_SECTOR
        mov bx, BOOT_SECTOR
        mov ax, (DISK_READ << 8) | 1
        call disk_with_retries
        jc disk_error                           ; no disk in the drive ends here
        mov dl, [AREA_VAR_BOOT_DRIVE_RUN]
        jmp start_boot_sector

; --------------------------------------------------------------------------------------------------
; take_selected_entry - E = the selection's menu entry in the MBR copy's menu table.
; On return: SI = [VAR_ENTRY_PTR] = E. Clobbers AX.
; --------------------------------------------------------------------------------------------------
take_selected_entry:
        mov al, [AREA_VAR_SELECTION_RUN]
        mov ah, CONST_ENTRY_SIZE
        mul ah
        add ax, MENU_TABLE_OF_COPY              ; the master copy, not the sector-0 image
        mov si, ax
        mov [AREA_VAR_ENTRY_PTR_RUN], ax
        ret

; --------------------------------------------------------------------------------------------------
; rebuild_sector0 - put E into the boot slot of the MBR copy when it is an entry of the first disk
; (never with an empty menu), then copy the MBR copy to 0000:0600. That also brings back the MBR
; copy's default-entry and direct-boot bytes, so a direct boot happens once.
; On entry: SI = E. Clobbers CX, SI, DI.
; --------------------------------------------------------------------------------------------------
rebuild_sector0:
        cmp byte [AREA_VAR_ENTRY_COUNT_RUN], 0
        je .copy
        cmp byte [si], FIRST_HARD_DISK
        jne .copy                               ; another disk: the partition table stays as it is
        mov di, BOOT_SLOT_OF_COPY               ; byte 0 = 80h makes it the active entry
        mov cx, CONST_ENTRY_SIZE / 2
        rep movsw
.copy:
        mov si, MBR_COPY
        mov di, SECTOR0_IMAGE                   ; the loader is done with 0600h
        mov cx, CONST_SECTOR_SIZE / 2
        rep movsw
        ret

; --------------------------------------------------------------------------------------------------
; write_sector0 - write 0000:0600 to sector 0 of drive 80h; a failure ends in the disk message.
; Clobbers AX, BX, CX, DX.
; --------------------------------------------------------------------------------------------------
write_sector0:
        mov ax, (DISK_WRITE << 8) | 1
        mov bx, SECTOR0_IMAGE
        mov cx, FIRST_SECTOR                    ; cylinder 0, sector 1
        mov dx, FIRST_HARD_DISK                 ; head 0, drive 80h
        call disk_with_retries
        jc disk_error
        ret

        DISK_WITH_RETRIES disk_with_retries, {mov word [AREA_DAP_COUNT_RUN], 1}

; --------------------------------------------------------------------------------------------------
; start_boot_sector - clear the screen, check the boot sector's signature and start it.
; On entry: DL = the drive to hand over, [VAR_ENTRY_PTR] = E. Does not return.
; --------------------------------------------------------------------------------------------------
start_boot_sector:
        push dx                                 ; the video calls may change DX
        call set_text_mode                      ; the started system finds a clean screen
        cmp word [BOOT_SECTOR + BOOT_SIGNATURE_OFFSET], BOOT_SIGNATURE
        jne .no_loader
        mov cx, CURSOR_NORMAL                   ; give back the cursor we hid
        mov ah, VID_CURSOR_SHAPE
        int VIDEO
        pop dx
        mov si, [AREA_VAR_ENTRY_PTR_RUN]        ; DS:SI -> the booted entry
        jmp 0:BOOT_SECTOR
.no_loader:
        mov si, AREA_MSG_NO_LOADER_RUN          ; "Kann Betriebssystemurlader nicht finden!"
        jmp message_and_restart

; --------------------------------------------------------------------------------------------------
; check_password - ask for the password of slot AL (0..11 menu positions, 12/13 floppy A:/B:)
; when one is set. Returns when access is granted; a wrong password shows "Zugriff verweigert!"
; and restarts. The typed text matches when each character XOR the key byte equals the slot byte
; and the stored password has exactly as many characters. Clobbers AX, BX, CX, DX, SI, DI.
; --------------------------------------------------------------------------------------------------
check_password:
        mov ah, CONST_PASSWORD_SLOT_SIZE
        mul ah
        add ax, AREA_PASSWORDS_RUN
        mov di, ax                              ; DI = the slot, kept to the end
        cmp byte [di], NO_PASSWORD
        je .granted
        call set_text_mode                      ; a visible cursor for the prompt
        mov dh, BOX_TOP_ROW
        mov si, top_border                      ; screen line 0 is the top border
        call paint_line_down
        mov si, AREA_PASSWORD_PROMPT_RUN        ; "Passwort:"
        call paint_line_down
        mov si, AREA_MSG_BOTTOM_BORDER_RUN
        call paint_line
        xor bx, bx                              ; BX = characters typed
.key:
        mov dx, (PROMPT_ROW << 8) | PROMPT_INPUT_COLUMN
        add dl, bl                              ; the cursor follows the typed characters
        call set_cursor
        mov ah, KBD_READ
        int KEYBOARD                            ; AL = character
        cmp al, CHAR_ENTER
        je .typed
        cmp al, CHAR_BACKSPACE
        jne .not_backspace
        test bx, bx
        jz .key                                 ; nothing to take back
        dec bx
        dec dl                                  ; column of the last star
        mov al, ' '
        call put_char                           ; the last star becomes a blank
        jmp .key
.not_backspace:
        cmp al, FIRST_TYPABLE
        jb .key
        cmp al, LAST_TYPABLE
        ja .key
        cmp bx, MAX_TYPED
        jae .key                                ; the buffer is full
        mov [AREA_PASSWORD_INPUT_RUN + bx], al
        inc bx
        mov al, '*'                             ; never echo the password itself
        call put_char
        jmp .key
.typed:
        call hide_cursor
        mov cx, bx                              ; CX = characters typed
        cmp cx, MAX_PASSWORD
        ja .denied                              ; longer than any stored password
        xor bx, bx
.compare:
        cmp bx, cx
        je .length                              ; every typed character matched
        mov al, [AREA_PASSWORD_INPUT_RUN + bx]
        xor al, [AREA_PASSWORD_KEY_RUN + bx]    ; the stored form of the typed character
        cmp al, [bx + di]
        jne .denied
        inc bx
        jmp .compare
.length:
        cmp bx, MAX_PASSWORD
        je .match                               ; a full-length password has no end marker
        mov al, [bx + di]
        xor al, [AREA_PASSWORD_KEY_RUN + bx]    ; decodes to zero where the password ends
        jnz .denied                             ; the stored password goes on: too few typed
.match:
        call clear_input
.granted:
        ret
.denied:
        call clear_input
        mov si, AREA_MSG_DENIED_RUN             ; "Zugriff verweigert!"
        jmp message_and_restart

; --------------------------------------------------------------------------------------------------
; clear_input - blank the password input buffer, so that no typed password stays in memory for
; the started system. Clobbers AX, CX, DI.
; --------------------------------------------------------------------------------------------------
clear_input:
        mov di, AREA_PASSWORD_INPUT_RUN
        mov cx, AREA_PASSWORD_INPUT_SIZE
        mov al, ' '
        rep stosb
        ret

; --------------------------------------------------------------------------------------------------
; disk_error / message_and_restart - the one error exit: a box with the message line at SI and
; "weiter -> Taste drücken", a key, then the engine starts again from its entry point.
; --------------------------------------------------------------------------------------------------
disk_error:
        mov si, AREA_MSG_DISK_ERROR_RUN         ; "FD/HD-Probleme:Bootvorgang wurde abgebrochen!"
message_and_restart:
        push si                                 ; the message line
        call set_text_mode                      ; the box stands alone on the screen
        call hide_cursor
        mov dh, BOX_TOP_ROW
        mov si, top_border                      ; screen line 0 is the top border
        call paint_line_down
        pop si
        call paint_line_down
        mov si, AREA_MSG_PRESS_KEY_RUN
        call paint_line_down
        mov si, AREA_MSG_BOTTOM_BORDER_RUN
        call paint_line
        mov ah, KBD_READ
        int KEYBOARD                            ; any key goes on
        jmp entry                               ; back to the menu (or to the direct boot)

        end_field AREA, ENTRY
        begin_field AREA, CODE_PAD
        end_field AREA, CODE_PAD

; ==================================================================================================
; Tables
; ==================================================================================================
        begin_field AREA, MBR_COPY              ; the loader template until the program saves
        incbin "loader.bin"
        end_field AREA, MBR_COPY

        begin_field AREA, PASSWORDS             ; no passwords
        begin_field AREA, PASSWORD_PROMPT
        framed_text 1, "Passwort:"
        end_field AREA, PASSWORD_PROMPT

        begin_field AREA, MSG_DENIED
        centred_text "Zugriff verweigert!"
        begin_field AREA, MSG_DISK_ERROR
        centred_text "FD/HD-Probleme:Bootvorgang wurde abgebrochen!"
        begin_field AREA, MSG_NO_LOADER
        centred_text "Kann Betriebssystemurlader nicht finden!"
        end_field AREA, MESSAGES

        begin_field AREA, PASSWORD_KEY
        db 0D7h, 3Ch, 91h, 0E7h, 0Bh, 66h, 0D2h, 48h, 1Fh, 0A5h, 7Eh, 03h, 0C9h, 84h, 2Dh, 6Bh
        end_field AREA, PASSWORD_KEY

        begin_field AREA, MSG_PRESS_KEY
        centred_text `weiter -> Taste dr\x81cken`
        begin_field AREA, MSG_BOTTOM_BORDER
        border_line FRAME_BOTTOM_LEFT, FRAME_H, FRAME_BOTTOM_RIGHT
        end_field AREA, MESSAGES_2

        begin_field AREA, DISK_ADDRESS_PACKET   ; one sector to 0000:7C00; the LBA is set at boot
        db 10h, 0                               ; packet size, reserved
        dw 1                                    ; sector count
        dw BOOT_SECTOR, 0                       ; buffer offset, segment
        dq 0                                    ; start LBA
        end_field AREA, DISK_ADDRESS_PACKET

        begin_field AREA, VARIABLES             ; zero until the engine runs
        begin_field AREA, PASSWORD_INPUT
        times AREA_PASSWORD_INPUT_SIZE db ' '
        end_field AREA, PASSWORD_INPUT

        times CONST_AREA_SIZE - ($-$$) db 0
%if ($-$$) != CONST_AREA_SIZE
  %error the engine area is not exactly seven sectors
%endif
