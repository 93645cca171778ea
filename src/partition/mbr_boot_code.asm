; The boot code of the master boot records that the repair writes: bytes 0 to
; 439 of sector 0. Assemble with: nasm -f bin -o mbr_boot_code.bin mbr_boot_code.asm
; The committed table in mbr_boot_code.cpp holds exactly these bytes.
;
; The BIOS loads sector 0 at 0000:7C00 and jumps to it with DL = boot drive.
; The loader moves itself to 0000:0600, looks for the one active slot, reads
; that partition's first sector to 0000:7C00 (INT 13h extensions when the BIOS
; has them, CHS from the slot otherwise), checks its 55 AA and jumps to it
; with DL = drive and DS:SI = the slot, as partition boot sectors expect.
;
; It must not begin like a file-system boot sector (EB xx 90 or E9), so that
; a disk carrying it is never taken for a bare FAT or NTFS volume.

bits 16
org 0x0600

boot_load       equ 0x7C00
table           equ 0x0600 + 446
slot_count      equ 4
slot_size       equ 16
read_attempts   equ 4

start:
        cli
        xor     ax, ax
        mov     ss, ax
        mov     sp, boot_load
        mov     ds, ax
        mov     es, ax
        sti
        cld
        mov     si, boot_load
        mov     di, 0x0600
        mov     cx, 256
        rep movsw
        jmp     0:relocated

relocated:
        mov     [drive], dl

; Exactly one slot may be active; every other status byte must be zero.
        mov     si, table
        xor     bp, bp                  ; the active slot, none yet
        mov     cx, slot_count
check_slot:
        mov     al, [si]
        test    al, al
        jz      next_slot
        cmp     al, 0x80
        jne     invalid_table
        test    bp, bp
        jnz     invalid_table
        mov     bp, si
next_slot:
        add     si, slot_size
        loop    check_slot
        test    bp, bp
        jz      missing_os              ; no active slot: nothing to boot

        mov     di, read_attempts
read_boot_sector:
        call    read_first_sector
        jnc     loaded
        xor     ax, ax                  ; reset the drive before trying again
        mov     dl, [drive]
        int     0x13
        dec     di
        jnz     read_boot_sector
        jmp     load_error

loaded:
        cmp     word [boot_load + 510], 0xAA55
        jne     missing_os
        mov     si, bp
        mov     dl, [drive]
        jmp     0:boot_load

; Reads the first sector of the slot at BP to 0000:7C00; CF set on failure.
read_first_sector:
        mov     dl, [drive]
        mov     ah, 0x41
        mov     bx, 0x55AA
        int     0x13
        jc      read_chs
        cmp     bx, 0xAA55
        jne     read_chs
        test    cl, 1                   ; packet interface supported
        jz      read_chs
        mov     eax, [bp + 8]
        mov     [packet_lba], eax
        mov     si, packet
        mov     ah, 0x42
        mov     dl, [drive]
        int     0x13
        ret
read_chs:
        mov     dh, [bp + 1]            ; head
        mov     cx, [bp + 2]            ; sector and cylinder, as INT 13h takes them
        mov     bx, boot_load
        mov     ax, 0x0201
        mov     dl, [drive]
        int     0x13
        ret

invalid_table:
        mov     bl, 0
        jmp     show_message
load_error:
        mov     bl, 1
        jmp     show_message
missing_os:
        mov     bl, 2
; Prints message BL, whose address below 0x0800 is the byte message_offsets[BL]
; plus 0x0700, and stops.
show_message:
        xor     bh, bh
        mov     al, [message_offsets + bx]
        mov     ah, 0x07
        mov     si, ax
print_char:
        lodsb
        test    al, al
        jz      halt
        mov     ah, 0x0E
        mov     bx, 0x0007
        int     0x10
        jmp     print_char
halt:
        hlt
        jmp     halt

drive   db 0

packet:
        db 16, 0                        ; packet size, reserved
        dw 1                            ; sectors
        dw boot_load, 0                 ; buffer offset, segment
packet_lba:
        dd 0, 0

%define msg_invalid_table_text "Invalid partition table"
%define msg_load_error_text "Error loading operating system"
%define msg_missing_os_text "Missing operating system"
%strlen msg_invalid_table_length msg_invalid_table_text
%strlen msg_load_error_length msg_load_error_text
%strlen msg_missing_os_length msg_missing_os_text

; The messages end the code, zero-terminated, right before their offsets.
; Being short, they lie at 0x0700 and up, so one byte locates each.
        times 437 - (msg_invalid_table_length + msg_load_error_length + msg_missing_os_length + 3) - ($ - $$) db 0
msg_invalid_table:
        db msg_invalid_table_text, 0
msg_load_error:
        db msg_load_error_text, 0
msg_missing_os:
        db msg_missing_os_text, 0

message_offsets:
        db msg_invalid_table - 0x0700, msg_load_error - 0x0700, msg_missing_os - 0x0700
