# GDI painting, colours, fonts and images; GDI+; rich-edit streaming.
add_host_test(NAME gdi SCRIPT gdi.lua FILES gdi_images.lua TIMEOUT 90)
