out-dir\ x.bin: my-proj\ dir/main\ prog.asm my-proj\ dir/inc-1.inc my-proj\ dir/lib-x/m-1.inc

my-proj\ dir/inc-1.inc:

my-proj\ dir/lib-x/m-1.inc:
