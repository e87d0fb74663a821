# GDI painting, colours, fonts and images; GDI+; rich-edit streaming.
add_host_test(NAME gdi SCRIPT gdi.lua FILES gdi_images.lua TIMEOUT 90)
add_host_test(NAME richedit SCRIPT richedit.lua UIWATCH "--count 1" EXPECT richedit.expect TIMEOUT 120)
add_host_test(NAME app_paint SCRIPT app_paint.lua FILES ../../examples/app/app_paint.lua ../../examples/app/app_win32.lua)
